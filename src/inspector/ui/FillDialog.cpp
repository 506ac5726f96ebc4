#include "inspector/ui/FillDialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "inspector/RangeFill.h"
#include "data/Core.h"

namespace zr {

namespace {
// A label names the box beside it for a screen reader (and Alt+letter).
QLabel* withBuddy(QLabel* label, QWidget* buddy) {
  label->setBuddy(buddy);
  return label;
}
}  // namespace

namespace {
QLabel* makeLabel(const char* name, const char* caption, QWidget* parent) {
  auto* l = new QLabel(QString::fromLatin1(caption), parent);
  l->setObjectName(QString::fromLatin1(name));
  return l;
}
QLineEdit* makeBox(const char* name, QWidget* parent) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(QString::fromLatin1(name));
  return e;
}
}  // namespace

FillDialog::FillDialog(Core& core, RangeFill& fill, QWidget* parent)
    : QDialog(parent), core_(core), fill_(fill) {
  setObjectName(QStringLiteral("frmPartFill"));
  setWindowTitle(QStringLiteral("Part Fill"));

  txtFillData_ = makeBox("txtFillData", this);
  txtStartAddr_ = makeBox("txtStartAddr", this);
  txtEndAddr_ = makeBox("txtEndAddr", this);
  cboFillData_ = new QComboBox(this);
  cboFillData_->setObjectName(QStringLiteral("cboFillData"));
  cboFillData_->addItems(RangeFill::baseEntries());
  // H, D or B: how the fill value is read (a row member beside the value's box).
  cboFillData_->setAccessibleName(QStringLiteral("Fill data base (hexadecimal, decimal, binary)"));
  cmdFillData_ = new QPushButton(QStringLiteral("Fill"), this);
  cmdFillData_->setObjectName(QStringLiteral("cmdFillData"));
  cmdFillData_->setAutoDefault(false);

  auto* grid = new QGridLayout(this);
  grid->addWidget(withBuddy(makeLabel("lblFillData", "Fill Data", this), txtFillData_), 0, 0);
  grid->addWidget(txtFillData_, 0, 1);
  grid->addWidget(cboFillData_, 0, 2);
  grid->addWidget(withBuddy(makeLabel("lblStartAddr", "Start Addr", this), txtStartAddr_), 1, 0);
  grid->addWidget(txtStartAddr_, 1, 1);
  grid->addWidget(withBuddy(makeLabel("lblEndAddr", "End Addr", this), txtEndAddr_), 2, 0);
  grid->addWidget(txtEndAddr_, 2, 1);
  grid->addWidget(cmdFillData_, 3, 1, 1, 2);

  // Form load: the model sets the list and the address texts.
  fill_.Form_Load();
  txtFillData_->setText(fill_.txtFillData);
  txtStartAddr_->setText(fill_.txtStartAddr);
  txtEndAddr_->setText(fill_.txtEndAddr);
  cboFillData_->setCurrentIndex(fill_.cboFillData);

  connect(txtFillData_, &QLineEdit::textChanged, this, [this](const QString& t) { fill_.txtFillData = t; });
  connect(txtStartAddr_, &QLineEdit::textChanged, this, [this](const QString& t) { fill_.txtStartAddr_Change(t); });
  connect(txtEndAddr_, &QLineEdit::textChanged, this, [this](const QString& t) { fill_.txtEndAddr_Change(t); });
  connect(cboFillData_, &QComboBox::currentIndexChanged, this, [this](int i) { fill_.cboFillData = i; });
  connect(cmdFillData_, &QPushButton::clicked, this, [this] { fill_.cmdFillData_Click(); });
}

void FillDialog::closeEvent(QCloseEvent* e) {
  if (core_.settings.Leaving) {
    e->accept();
    return;
  }
  // Kept with its texts for the next opening.
  e->ignore();
  reject();
}

}  // namespace zr
