#include "editors/ui/PttIdPauseDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "editors/PttIdPause.h"
#include "data/Core.h"
#include "base/ErrorLog.h"
#include "base/TextTable.h"
#include "base/TextIds.h"

namespace zr {

namespace {
constexpr int kBoxesPerRow = 4;
}  // namespace

PttIdPauseDialog::PttIdPauseDialog(Core& core, QWidget* parent)
    : PttIdPauseDialog(core.image.TempArray, core.text, core.log, parent) {}

PttIdPauseDialog::PttIdPauseDialog(ByteArray& image, const TextTable& text, ErrorLog& log, QWidget* parent)
    : QDialog(parent), model_(std::make_unique<PttIdPauseSet>(image, log)), text_(text), log_(log) {
  build();
}

PttIdPauseDialog::~PttIdPauseDialog() = default;

QCheckBox* PttIdPauseDialog::chkPttIdPauseChSet(int box) const {
  return box >= 0 && box < kPttIdPauseChannels ? boxes_[static_cast<size_t>(box)] : nullptr;
}

void PttIdPauseDialog::build() {
  setObjectName(QStringLiteral("frmPttIdPauseChSet"));
  setModal(true);

  auto* grid = new QGridLayout;
  for (int i = 0; i < kPttIdPauseChannels; ++i) {
    auto* box = new QCheckBox(this);
    box->setObjectName(QStringLiteral("chkPttIdPauseChSet(%1)").arg(i));
    grid->addWidget(box, i / kBoxesPerRow, i % kBoxesPerRow);
    boxes_[static_cast<size_t>(i)] = box;
    // Every change of a box reaches the model; while the model ticks boxes
    // itself its update guard keeps these from writing.
    connect(box, &QCheckBox::toggled, this, [this, i](bool on) {
      if (model_->boxClicked(i, on)) showChoices();
    });
  }
  connect(model_.get(), &PttIdPauseSet::boxShown, this, [this](int i, bool on) {
    if (QCheckBox* box = chkPttIdPauseChSet(i)) box->setChecked(on);
  });

  // Two choices that exclude each other, and that the program can also
  // deselect both: not an exclusive group.
  chkSelectAll_ = new QRadioButton(this);
  chkSelectAll_->setObjectName(QStringLiteral("chkSelectAll"));
  chkSelectAll_->setAutoExclusive(false);
  chkSelectNone_ = new QRadioButton(this);
  chkSelectNone_->setObjectName(QStringLiteral("chkSelectNone"));
  chkSelectNone_->setAutoExclusive(false);
  cmdOK_ = new QPushButton(this);
  cmdOK_->setObjectName(QStringLiteral("cmdOK"));
  cmdOK_->setDefault(true);

  auto* choices = new QHBoxLayout;
  choices->addWidget(chkSelectAll_);
  choices->addWidget(chkSelectNone_);
  choices->addStretch();
  choices->addWidget(cmdOK_);
  auto* main = new QVBoxLayout(this);
  main->addLayout(grid);
  main->addLayout(choices);

  connect(chkSelectAll_, &QRadioButton::clicked, this, [this] {
    model_->chooseAll();
    showChoices();
  });
  connect(chkSelectNone_, &QRadioButton::clicked, this, [this] {
    model_->chooseNone();
    showChoices();
  });
  connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);

  InitFace();
  model_->PttIdPauseChSet();
  showChoices();
}

void PttIdPauseDialog::InitFace() {
  guarded(log_, "frmPttIdPauseChSet->Form_Load", [&] {
    setWindowTitle(text_.SoftFace(kTxtPttIdPauseTitle));
    for (int i = 0; i < kPttIdPauseChannels; ++i)
      boxes_[static_cast<size_t>(i)]->setText(text_.SoftFace(kTxtPttIdPauseChannel) + QStringLiteral(" ") + QString::number(i + 1));
    chkSelectAll_->setText(text_.SoftFace(kTxtAll));
    chkSelectNone_->setText(text_.SoftFace(kTxtNone));
    cmdOK_->setText(text_.SoftFace(kTxtPttIdPauseOk));
  });
}

void PttIdPauseDialog::showChoices() {
  const QSignalBlocker quietAll(chkSelectAll_);
  const QSignalBlocker quietNone(chkSelectNone_);
  chkSelectAll_->setChecked(model_->allChosen());
  chkSelectNone_->setChecked(model_->noneChosen());
}

}  // namespace zr
