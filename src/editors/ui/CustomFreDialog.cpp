#include "editors/ui/CustomFreDialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "editors/BandModel.h"
#include "base/ErrorLog.h"
#include "base/TextTable.h"
#include "base/TextIds.h"

namespace zr {

CustomFreDialog::CustomFreDialog(BandModel& band, const TextTable& text, ErrorLog& log, QWidget* parent)
    : QDialog(parent),
      band_(band),
      text_(text),
      log_(log),
      fraCustomFre_(new QGroupBox(this)),
      lblFreMin_(new QLabel(fraCustomFre_)),
      lblFreMax_(new QLabel(fraCustomFre_)),
      txtFreMin_(new QLineEdit(fraCustomFre_)),
      txtFreMax_(new QLineEdit(fraCustomFre_)),
      cmdOK_(new QPushButton(this)),
      cmdCancel_(new QPushButton(this)) {
  setObjectName(QStringLiteral("frmCustomFre"));
  fraCustomFre_->setObjectName(QStringLiteral("fraCustomFre"));
  lblFreMin_->setObjectName(QStringLiteral("lblFreMin"));
  // The labels name their boxes for a screen reader.
  lblFreMin_->setBuddy(txtFreMin_);
  lblFreMax_->setBuddy(txtFreMax_);
  lblFreMax_->setObjectName(QStringLiteral("lblFreMax"));
  txtFreMin_->setObjectName(QStringLiteral("txtFreMin"));
  txtFreMax_->setObjectName(QStringLiteral("txtFreMax"));
  cmdOK_->setObjectName(QStringLiteral("cmdOK"));
  cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
  setModal(true);

  auto* grid = new QGridLayout(fraCustomFre_);
  grid->addWidget(lblFreMin_, 0, 0);
  grid->addWidget(txtFreMin_, 0, 1);
  grid->addWidget(lblFreMax_, 1, 0);
  grid->addWidget(txtFreMax_, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdOK_);
  buttons->addWidget(cmdCancel_);
  auto* main = new QVBoxLayout(this);
  main->addWidget(fraCustomFre_);
  main->addLayout(buttons);

  cmdOK_->setDefault(true);
  connect(cmdOK_, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
  connect(cmdCancel_, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
  Form_Load();
}

void CustomFreDialog::Form_Load() {
  guarded(log_, "frmCustomFre->Form_Load", [&] {
    InitFace();
    const CustomTexts shown = band_.customShownTexts();
    txtFreMin_->setText(shown.first);
    txtFreMax_->setText(shown.second);
  });
}

void CustomFreDialog::InitFace() {
  guarded(log_, "frmCustomFre->InitFace", [&] {
    setWindowTitle(text_.SoftFace(kTxtCustomFreTitle));
    lblFreMin_->setText(text_.SoftFace(kTxtCustomFreMin));
    lblFreMax_->setText(text_.SoftFace(kTxtCustomFreMax));
    cmdOK_->setText(text_.SoftFace(kTxtCustomFreOk));
    cmdCancel_->setText(text_.SoftFace(kTxtCustomFreCancel));
  });
}

void CustomFreDialog::cmdOK_Click() {
  // The model logs and repairs its own failures; the dialog always closes.
  const CustomTexts boxes = band_.CustomFreOk(txtFreMin_->text(), txtFreMax_->text());
  txtFreMin_->setText(boxes.first);
  txtFreMax_->setText(boxes.second);
  accept();
}

void CustomFreDialog::cmdCancel_Click() {
  guarded(log_, "frmCustomFre->cmdCancel_Click", [&] { QDialog::reject(); });
}

void CustomFreDialog::reject() {
  // Escape and the window's close button cancel like the Cancel button.
  cmdCancel_Click();
}

}  // namespace zr
