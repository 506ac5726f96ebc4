#include "editors/ui/VolumeDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "editors/VolumeTable.h"
#include "data/Core.h"
#include "base/ErrorLog.h"
#include "base/TextTable.h"
#include "base/TextIds.h"

namespace zr {

namespace {
}  // namespace

VolumeDialog::VolumeDialog(Core& core, QWidget* parent)
    : QDialog(parent), owned_(std::make_unique<VolumeTable>(core)), model_(*owned_), text_(core.text), log_(core.log) {
  build();
}

VolumeDialog::VolumeDialog(VolumeTable& model, const TextTable& text, ErrorLog& log, QWidget* parent)
    : QDialog(parent), model_(model), text_(text), log_(log) {
  build();
}

VolumeDialog::~VolumeDialog() = default;

QComboBox* VolumeDialog::cboVolumeDat(int step) const {
  return step >= 1 && step <= kVolumeSteps ? cboVolumeDat_[static_cast<size_t>(step - 1)] : nullptr;
}

void VolumeDialog::build() {
  setObjectName(QStringLiteral("frmSetVolume"));
  setModal(true);

  QStringList values;
  for (int v = 0; v < kVolumePositions; ++v) values << QString::number(v);

  auto* steps = new QGridLayout;
  for (int n = 1; n <= kVolumeSteps; ++n) {
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("lblVolumeLevel(%1)").arg(n));
    auto* list = new QComboBox(this);
    list->setObjectName(QStringLiteral("cboVolumeDat(%1)").arg(n));
    list->addItems(values);
    steps->addWidget(label, n - 1, 0);
    steps->addWidget(list, n - 1, 1);
    lblVolumeLevel_[static_cast<size_t>(n - 1)] = label;
    cboVolumeDat_[static_cast<size_t>(n - 1)] = list;
    // A user's pick only; showing a position writes nothing.
    connect(list, &QComboBox::activated, this, [this, n, list](int position) {
      model_.choose(n, position);
      const QSignalBlocker quiet(list);
      list->setCurrentIndex(model_.position(n));
    });
  }

  chkVolMode_ = new QCheckBox(this);
  chkVolMode_->setObjectName(QStringLiteral("chkVolMode"));
  chkVolumeIic_ = new QCheckBox(this);
  chkVolumeIic_->setObjectName(QStringLiteral("chkVolumeIic"));
  cmdDefault_ = new QPushButton(this);
  cmdDefault_->setObjectName(QStringLiteral("cmdDefault"));
  cmdOK_ = new QPushButton(this);
  cmdOK_->setObjectName(QStringLiteral("cmdOK"));
  cmdOK_->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdDefault_);
  buttons->addStretch();
  buttons->addWidget(cmdOK_);
  auto* main = new QVBoxLayout(this);
  main->addLayout(steps);
  main->addWidget(chkVolMode_);
  main->addWidget(chkVolumeIic_);
  main->addLayout(buttons);

  connect(chkVolMode_, &QCheckBox::clicked, this, [this](bool on) {
    // The lists keep their positions; they are read in the new mode.
    model_.setMode2(on);
    showModel();
  });
  connect(chkVolumeIic_, &QCheckBox::clicked, this, [this](bool on) {
    model_.setUseTable(on);
    showModel();
  });
  connect(cmdDefault_, &QPushButton::clicked, this, [this] {
    model_.restoreDefault();
    showModel();
  });
  connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
  Form_Load();
}

void VolumeDialog::Form_Load() {
  model_.open();
  InitFace();
  showModel();
}

void VolumeDialog::InitFace() {
  guarded(log_, "frmSetVolume->Form_Load", [&] {
    setWindowTitle(text_.SoftFace(kTxtVolumeTitle));
    for (int n = 1; n <= kVolumeSteps; ++n) {
      // One space less before "10" so that the ten captions line up.
      const QString gap = n < kVolumeSteps ? QStringLiteral("  ") : QStringLiteral(" ");
      lblVolumeLevel_[static_cast<size_t>(n - 1)]->setText(text_.SoftFace(kTxtVolume) + gap + QString::number(n) +
                                                           QStringLiteral(" ") + text_.SoftFace(kTxtVolumeLevel));
    }
    chkVolMode_->setText(text_.SoftFace(kTxtVolumeMode2));
    chkVolumeIic_->setText(text_.SoftFace(kTxtVolumeUseThisSet));
    cmdDefault_->setText(text_.SoftFace(kTxtVolumeDefault));
    cmdOK_->setText(text_.SoftFace(kTxtVolumeOk));
  });
}

void VolumeDialog::showModel() {
  for (int n = 1; n <= kVolumeSteps; ++n) {
    QComboBox* list = cboVolumeDat_[static_cast<size_t>(n - 1)];
    const QSignalBlocker quiet(list);
    list->setCurrentIndex(model_.position(n));
  }
  const QSignalBlocker quietMode(chkVolMode_);
  chkVolMode_->setChecked(model_.mode2());
  const QSignalBlocker quietSwitch(chkVolumeIic_);
  chkVolumeIic_->setChecked(model_.useTable());
}

}  // namespace zr
