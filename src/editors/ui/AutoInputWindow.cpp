#include "editors/ui/AutoInputWindow.h"

#include <QKeyEvent>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "editors/AutoInput.h"
#include "editors/Editors.h"
#include "base/ErrorLog.h"

namespace zr {

namespace {

QString indexed(const char* name, int index) { return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index); }

// The option groups of the "Others" frame: frame index, Set button, options.
struct OptionFrame {
  int frame;
  int button;
  int options[4];
};
constexpr OptionFrame kOptionFrames[] = {
    {5, AutoInput::kSetPower, {AutoInput::kOptPowerHigh, AutoInput::kOptPowerLow, -1, -1}},
    {6, AutoInput::kSetWide, {AutoInput::kOptWide, AutoInput::kOptNarrow, -1, -1}},
    {7, AutoInput::kSetScan, {AutoInput::kOptScanOn, AutoInput::kOptScanOff, -1, -1}},
    {8, AutoInput::kSetBusyLock, {AutoInput::kOptBclQtDqt, AutoInput::kOptBclCarrier, AutoInput::kOptBclOff, -1}},
    {9, AutoInput::kSetVox, {AutoInput::kOptVoxOff, AutoInput::kOptVoxOn, -1, -1}},
    {11, AutoInput::kSetPttId,
     {AutoInput::kOptPttIdOff, AutoInput::kOptPttIdBot, AutoInput::kOptPttIdEot, AutoInput::kOptPttIdBoth}},
};

}  // namespace

AutoInputWindow::AutoInputWindow(Editors& editors, QWidget* parent)
    // A tool window of the main window: it stays above the channel window
    // but never above the program's own dialogs (Save As, messages).
    : QWidget(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      settings_(editors.core.settings),
      model_(std::make_unique<AutoInput>(editors)) {
  setObjectName(QStringLiteral("frmAutoInput"));
  setWindowModality(Qt::NonModal);
  auto* outer = new QVBoxLayout(this);

  auto addBox = [&](int index, QWidget* p) {
    auto* e = new QLineEdit(p);
    e->setObjectName(indexed("txtAutoInput", index));
    boxes_[index] = e;
    connect(e, &QLineEdit::textEdited, this, [this, index](const QString& t) { model_->setBoxText(index, t); });
    connect(e, &QLineEdit::editingFinished, this, [this, index] { model_->boxLostFocus(index); });
    return e;
  };
  auto addList = [&](int index, QWidget* p) {
    auto* c = new QComboBox(p);
    c->setObjectName(indexed("cboAutoInput", index));
    c->addItems(model_->listItems(index));
    lists_[index] = c;
    connect(c, &QComboBox::activated, this, [this, index](int pos) { model_->setListPosition(index, pos); });
    return c;
  };
  auto addCheck = [&](int index, QWidget* p) {
    auto* c = new QCheckBox(p);
    c->setObjectName(indexed("chkAutoInput", index));
    checks_[index] = c;
    connect(c, &QCheckBox::clicked, this, [this, index](bool on) { model_->setChecked(index, on); });
    return c;
  };

  // Channel range.
  auto* range = new QHBoxLayout;
  // Each label names its list for a screen reader (as buddy).
  QLabel* firstLabel = label(5, this);
  range->addWidget(firstLabel);
  QComboBox* first = addList(AutoInput::kListFirstCh, this);
  firstLabel->setBuddy(first);
  range->addWidget(first);
  QLabel* lastLabel = label(6, this);
  range->addWidget(lastLabel);
  QComboBox* last = addList(AutoInput::kListLastCh, this);
  lastLabel->setBuddy(last);
  range->addWidget(last);
  range->addStretch();
  outer->addLayout(range);

  // Receive and transmit frequencies.
  for (int transmit = 0; transmit < 2; ++transmit) {
    QGroupBox* f = frame(transmit ? 2 : 1, this);
    auto* g = new QGridLayout(f);
    g->addWidget(label(transmit ? 9 : 7, f), 0, 0);
    g->addWidget(addBox(transmit ? AutoInput::kBoxTxFirst : AutoInput::kBoxRxFirst, f), 0, 1);
    g->addWidget(new QLabel(QStringLiteral("MHz"), f), 0, 2);
    g->addWidget(label(transmit ? 10 : 8, f), 0, 3);
    g->addWidget(addBox(transmit ? AutoInput::kBoxTxStep : AutoInput::kBoxRxStep, f), 0, 4);
    g->addWidget(new QLabel(QStringLiteral("kHz"), f), 0, 5);
    if (!transmit) g->addWidget(addCheck(AutoInput::kChkTxEquRx, f), 1, 0, 1, 3);
    g->addWidget(setButton(transmit ? AutoInput::kSetTx : AutoInput::kSetRx, f), transmit ? 0 : 1, 6);
    outer->addWidget(f);
  }

  // Tones.
  {
    QGroupBox* f = frame(3, this);
    auto* g = new QGridLayout(f);
    g->addWidget(label(11, f), 0, 0);
    g->addWidget(addList(AutoInput::kListFirstTone, f), 0, 1);
    g->addWidget(label(12, f), 0, 2);
    g->addWidget(addList(AutoInput::kListToneStep, f), 0, 3);
    g->addWidget(addCheck(AutoInput::kChkRandom, f), 0, 4);
    for (int k = 0; k < 3; ++k) g->addWidget(option(AutoInput::kOptToneDec + k, f), 1, k);
    g->addWidget(setButton(AutoInput::kSetTones, f), 1, 4);
    outer->addWidget(f);
  }

  // The per-channel options.
  {
    QGroupBox* others = frame(4, this);
    auto* g = new QGridLayout(others);
    int cell = 0;
    for (const OptionFrame& of : kOptionFrames) {
      QGroupBox* f = frame(of.frame, others);
      auto* v = new QVBoxLayout(f);
      for (int o : of.options)
        if (o >= 0) v->addWidget(option(o, f));
      v->addWidget(setButton(of.button, f));
      g->addWidget(f, cell / 3, cell % 3);
      ++cell;
    }
    // Button 8 belongs to no group and does nothing; it is kept hidden.
    setButton(AutoInput::kSetNothing, others)->hide();
    outer->addWidget(others);
  }

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(label(AutoInput::kStatusLabel, this), 1);
  auto* setAll = new QPushButton(this);
  setAll->setObjectName(indexed("cmdAutoInput", AutoInput::kSetAll));
  buttons_[AutoInput::kSetAll] = setAll;
  connect(setAll, &QPushButton::clicked, this, [this] { model_->click(AutoInput::kSetAll); });
  bottom->addWidget(setAll);
  outer->addLayout(bottom);

  connect(model_.get(), &AutoInput::changed, this, &AutoInputWindow::refresh);
  InitFace();
  refresh();
}

AutoInputWindow::~AutoInputWindow() = default;

QGroupBox* AutoInputWindow::frame(int index, QWidget* parent) {
  auto* f = new QGroupBox(parent);
  f->setObjectName(indexed("fraAutoInput", index));
  frames_[index] = f;
  return f;
}

QLabel* AutoInputWindow::label(int index, QWidget* parent) {
  auto* l = new QLabel(parent);
  l->setObjectName(indexed("lblAutoInput", index));
  labels_[index] = l;
  return l;
}

QPushButton* AutoInputWindow::setButton(int index, QWidget* parent) {
  auto* b = new QPushButton(parent);
  b->setObjectName(indexed("cmdAutoInput", index));
  buttons_[index] = b;
  connect(b, &QPushButton::clicked, this, [this, index] { model_->click(index); });
  return b;
}

QRadioButton* AutoInputWindow::option(int index, QWidget* parent) {
  auto* o = new QRadioButton(parent);
  o->setObjectName(indexed("optAutoInput", index));
  options_[index] = o;
  connect(o, &QRadioButton::clicked, this, [this, index] { model_->selectOption(index); });
  return o;
}

void AutoInputWindow::InitFace() {
  using C = AutoInput::Caption;
  const int lang = model_->language();
  setWindowTitle(AutoInput::caption(C::Title, 0, lang));
  for (auto& [k, l] : labels_)
    if (k != AutoInput::kStatusLabel) l->setText(AutoInput::caption(C::Label, k, lang));
  for (auto& [k, f] : frames_) f->setTitle(AutoInput::caption(C::Frame, k, lang));
  for (auto& [k, c] : checks_) c->setText(AutoInput::caption(C::Check, k, lang));
  for (auto& [k, o] : options_) o->setText(AutoInput::caption(C::Option, k, lang));
  for (auto& [k, b] : buttons_)
    b->setText(AutoInput::caption(k == AutoInput::kSetAll ? C::SetAllButton : C::SetButton, 0, lang));
}

void AutoInputWindow::refresh() {
  if (refreshing_) return;
  refreshing_ = true;
  AutoInput& m = *model_;
  for (auto& [k, e] : boxes_) {
    if (e->text() != m.boxText(k)) {
      const QSignalBlocker block(e);
      e->setText(m.boxText(k));
    }
  }
  for (auto& [k, c] : lists_) {
    const QSignalBlocker block(c);
    if (c->count() != m.listItems(k).size()) {
      c->clear();
      c->addItems(m.listItems(k));
    }
    c->setCurrentIndex(m.listPosition(k));
  }
  for (auto& [k, c] : checks_) {
    const QSignalBlocker block(c);
    c->setChecked(m.checked(k));
  }
  for (auto& [k, o] : options_) {
    o->setEnabled(m.optionEnabled(k));
    if (o->isChecked() == m.optionSelected(k)) continue;
    const QSignalBlocker block(o);
    // An exclusive button can only be cleared with its exclusivity lifted.
    o->setAutoExclusive(false);
    o->setChecked(m.optionSelected(k));
    o->setAutoExclusive(true);
  }
  frames_[AutoInput::kFrameTx]->setEnabled(m.txFrameEnabled());
  lists_[AutoInput::kListFirstTone]->setEnabled(m.toneListsEnabled());
  lists_[AutoInput::kListToneStep]->setEnabled(m.toneListsEnabled());
  labels_[AutoInput::kStatusLabel]->setText(m.status());
  refreshing_ = false;
}

void AutoInputWindow::showDialog() {
  model_->markOpen();
  refresh();
  show();
  raise();
  activateWindow();
}

void AutoInputWindow::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(e);
}

void AutoInputWindow::closeEvent(QCloseEvent* e) {
  model_->markClosed();
  if (settings_.Leaving) {
    e->accept();
    return;
  }
  // Closed by the user: hide, so every field keeps its value.
  e->ignore();
  hide();
}

}  // namespace zr
