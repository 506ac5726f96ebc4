#include "editors/ui/ModelFrame.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalBlocker>

#include "editors/BandModel.h"
#include "editors/ui/CustomFreDialog.h"
#include "base/ErrorLog.h"
#include "base/TextTable.h"
#include "base/TextIds.h"

namespace zr {

namespace {
// The hex view shows at the 9th double click on the model label; the
// counter starts again after the 11th.
constexpr int kLabelShowAt = 9;
constexpr int kLabelWrapAbove = 10;
// ... and at the 6th, 16th, 26th ... click on the frame.
constexpr int kFrameShowAt = 6;
constexpr int kFrameCycle = 10;

void fill(QComboBox* box, const QStringList& texts, int position) {
  const QSignalBlocker block(box);
  QStringList shown;
  for (int i = 0; i < box->count(); ++i) shown << box->itemText(i);
  if (shown != texts) {
    box->clear();
    box->addItems(texts);
  }
  box->setCurrentIndex(position < box->count() ? position : -1);
}
}  // namespace

ModelFrame::ModelFrame(BandModel& band, const TextTable& text, ErrorLog& log, QWidget* parent)
    : QGroupBox(parent),
      band_(band),
      text_(text),
      log_(log),
      lblModel_(new QLabel(this)),
      lblFrequency_(new QLabel(this)),
      cboModel_(new QComboBox(this)),
      cboFrequency_(new QComboBox(this)) {
  setObjectName(QStringLiteral("fraModel"));
  lblModel_->setObjectName(QStringLiteral("lblModel"));
  lblFrequency_->setObjectName(QStringLiteral("lblFrequency"));
  cboModel_->setObjectName(QStringLiteral("cboModel"));
  cboFrequency_->setObjectName(QStringLiteral("cboFrequency"));

  auto* grid = new QGridLayout(this);
  grid->addWidget(lblModel_, 0, 0);
  grid->addWidget(cboModel_, 0, 1);
  grid->addWidget(lblFrequency_, 1, 0);
  grid->addWidget(cboFrequency_, 1, 1);
  grid->setColumnStretch(1, 1);

  // The label keeps its mouse events, so that they do not count as frame clicks.
  lblModel_->installEventFilter(this);
  // `activated` also reports choosing the current entry again: a range
  // choice always starts a new data set.
  connect(cboModel_, &QComboBox::activated, this, [this](int i) { band_.selectModel(i); });
  connect(cboFrequency_, &QComboBox::activated, this, [this](int i) { band_.cboFrequency_Click(i); });

  connect(&band_, &BandModel::listsChanged, this, [this] { follow(); });
  connect(&band_, &BandModel::customRangeWanted, this, [this] { runCustomDialog(); });
  InitFace();
  follow();
}

ModelFrame::~ModelFrame() = default;

void ModelFrame::InitFace() {
  guarded(log_, "frmChMem->InitFace:", [&] {
    setTitle(text_.SoftFace(kTxtRadioInfoTab));
    lblModel_->setText(text_.SoftFace(kTxtModelType));
    lblFrequency_->setText(text_.SoftFace(kTxtFrequency));
  });
}

void ModelFrame::follow() {
  fill(cboModel_, band_.modelTexts(), band_.modelPosition());
  fill(cboFrequency_, band_.rangeTexts(), band_.rangePosition());
}

bool ModelFrame::runCustomDialog() {
  CustomFreDialog dialog(band_, text_, log_, window());
  return dialog.exec() == QDialog::Accepted;
}

void ModelFrame::lblModel_DblClick() {
  if (++modelClicks_ > kLabelWrapAbove) modelClicks_ = 0;
  emit hexViewRequested(modelClicks_ == kLabelShowAt);
}

void ModelFrame::fraModel_Click() {
  frameClicks_ = (frameClicks_ + 1) % kFrameCycle;
  emit hexViewRequested(frameClicks_ == kFrameShowAt);
}

bool ModelFrame::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lblModel_) {
    switch (event->type()) {
      case QEvent::MouseButtonDblClick:
        lblModel_DblClick();
        return true;
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
        return true;
      default:
        break;
    }
  }
  return QGroupBox::eventFilter(watched, event);
}

void ModelFrame::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) e->accept();
  else QGroupBox::mousePressEvent(e);
}

void ModelFrame::mouseDoubleClickEvent(QMouseEvent* e) {
  // The second press of a double click is no click of its own.
  skipRelease_ = true;
  e->accept();
}

void ModelFrame::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) {
    QGroupBox::mouseReleaseEvent(e);
    return;
  }
  e->accept();
  if (skipRelease_) {
    skipRelease_ = false;
    return;
  }
  if (rect().contains(e->position().toPoint())) fraModel_Click();
}

}  // namespace zr
