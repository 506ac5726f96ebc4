#include "editors/ui/InputCodeDialog.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "base/TextTable.h"

namespace zr {

namespace {

// The prompt's captions per language: window title, label, button. They are
// not in the text table.
struct Captions {
  const char* title;
  const char* label;
  const char* ok;
};
constexpr Captions kChsCaptions{"请输入密码", "密码：", "确定"};
constexpr Captions kChtCaptions{"請輸入密碼", "密碼：", "確定"};
constexpr Captions kEngCaptions{"Please Input Code", "Code:", "OK"};

const Captions& captionsFor(int language) {
  switch (language) {
    case kLangChs:
      return kChsCaptions;
    case kLangCht:
      return kChtCaptions;
    default:
      return kEngCaptions;
  }
}

}  // namespace

InputCodeDialog::InputCodeDialog(int language, QWidget* parent)
    : QDialog(parent),
      lblInputCode_(new QLabel(this)),
      txtInputCode_(new QLineEdit(this)),
      cmdOK_(new QPushButton(this)),
      tmrAutoExit_(new QTimer(this)) {
  setObjectName(QStringLiteral("frmInputCode"));
  lblInputCode_->setObjectName(QStringLiteral("lblInputCode"));
  txtInputCode_->setObjectName(QStringLiteral("txtInputCode"));
  cmdOK_->setObjectName(QStringLiteral("cmdOK"));
  tmrAutoExit_->setObjectName(QStringLiteral("tmrAutoExit"));
  tmrAutoExit_->setTimerType(Qt::PreciseTimer);  // 4.5 s, not up to 5% less
  setModal(true);

  auto* row = new QHBoxLayout;
  row->addWidget(lblInputCode_);
  row->addWidget(txtInputCode_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdOK_);
  auto* main = new QVBoxLayout(this);
  main->addLayout(row);
  main->addLayout(buttons);
  cmdOK_->setDefault(true);
  txtInputCode_->setMinimumWidth(txtInputCode_->fontMetrics().horizontalAdvance(QString(16, u'M')));

  txtInputCode_->installEventFilter(this);
  cmdOK_->installEventFilter(this);
  connect(txtInputCode_, &QLineEdit::textChanged, this, &InputCodeDialog::txtInputCode_Change);
  connect(tmrAutoExit_, &QTimer::timeout, this, &InputCodeDialog::tmrAutoExit_Timer);
  connect(cmdOK_, &QPushButton::clicked, this, &InputCodeDialog::cmdOK_Click);
  Form_Load(language);
}

void InputCodeDialog::Form_Load(int language) {
  enteredCode_.clear();
  const Captions& c = captionsFor(language);
  setWindowTitle(QString::fromUtf8(c.title));
  lblInputCode_->setText(QString::fromUtf8(c.label));
  lblInputCode_->setBuddy(txtInputCode_);
  // The captions of the first two languages are Chinese; the name says it plainly.
  txtInputCode_->setAccessibleName(QStringLiteral("Service code"));
  cmdOK_->setText(QString::fromUtf8(c.ok));
  tmrAutoExit_->setInterval(kAutoExitMs);
  tmrAutoExit_->start();
}

void InputCodeDialog::txtInputCode_Change(const QString& text) {
  enteredCode_ = text.toUpper();
  // Someone is typing: the prompt no longer closes by itself.
  tmrAutoExit_->stop();
  tmrAutoExit_->setInterval(kTypedIntervalMs);
}

void InputCodeDialog::tmrAutoExit_Timer() {
  tmrAutoExit_->stop();
  accept();
}

bool InputCodeDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && tmrAutoExit_->isActive()) tmrAutoExit_->start();
  return QDialog::eventFilter(watched, event);
}

void InputCodeDialog::reject() {
  tmrAutoExit_->stop();
  enteredCode_.clear();
  QDialog::reject();
}

void InputCodeDialog::cmdOK_Click() {
  tmrAutoExit_->stop();
  accept();
}

}  // namespace zr
