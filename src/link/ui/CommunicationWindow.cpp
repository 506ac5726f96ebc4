#include "link/ui/CommunicationWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include "editors/Editors.h"
#include "link/ScriptEngine.h"
#include "base/Contrast.h"
#include "data/Core.h"
#include "base/ErrorLog.h"
#include "base/UserPrompts.h"
#include "base/TextIds.h"

namespace zr {

namespace {

constexpr int kDblClickToggle = 6;  // the 6th, 16th, 26th ... double click toggles the form

QPixmap greenLight() {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(0, 200, 0));
  p.setPen(QColor(0, 110, 0));
  p.drawEllipse(1, 1, 14, 14);
  return pm;
}

// The light while it is off: nothing (the frame shows through).
QPixmap darkLight() {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  return pm;
}

void setBold(QPushButton* button, bool bold) {
  QFont f = button->font();
  if (f.bold() == bold) return;
  f.setBold(bold);
  button->setFont(f);
}

}  // namespace

CommunicationWindow::CommunicationWindow(Transfer& transfer, QWidget* parent)
    : QDialog(parent), transfer_(transfer) {
  setObjectName(QStringLiteral("frmCommun"));
  setModal(true);

  // Progress section, always visible.
  fraOne_ = new QGroupBox(this);
  fraOne_->setObjectName(QStringLiteral("fraOne"));
  fraOne_->installEventFilter(this);
  cmdRead_ = new QPushButton(fraOne_);
  cmdRead_->setObjectName(QStringLiteral("cmdRead"));
  cmdWrite_ = new QPushButton(fraOne_);
  cmdWrite_->setObjectName(QStringLiteral("cmdWrite"));
  prgCommunicate_ = new QProgressBar(fraOne_);
  prgCommunicate_->setObjectName(QStringLiteral("prgCommunicate"));
  prgCommunicate_->setRange(0, 100);
  prgCommunicate_->setValue(0);
  prgCommunicate_->setTextVisible(false);
  lblComStatus_ = new QLabel(fraOne_);
  lblComStatus_->setObjectName(QStringLiteral("lblComStatus"));
  // The status line is red, made readable where the colour scheme is dark.
  setStatusColour(true);
  lblComStatus_->setMinimumWidth(320);
  // A long message wraps instead of widening the window past the screen.
  lblComStatus_->setWordWrap(true);
  lblComStatus_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  lblComPercent_ = new QLabel(fraOne_);
  lblComPercent_->setObjectName(QStringLiteral("lblComPercent"));
  chkStopCom_ = new QCheckBox(fraOne_);
  chkStopCom_->setObjectName(QStringLiteral("chkStopCom"));
  chkStopCom_->hide();
  imgGreen_ = new QLabel(fraOne_);
  imgGreen_->setObjectName(QStringLiteral("imgGreen"));
  lightPixmap_ = greenLight();
  darkPixmap_ = darkLight();
  imgGreen_->setPixmap(lightPixmap_);
  imgGreen_->setFixedSize(16, 16);
  // The light keeps its place when hidden, and blinks by changing its
  // picture, not by showing and hiding: each show would lay out and repaint
  // the whole window ten times a second during a transfer.
  QSizePolicy lightPolicy = imgGreen_->sizePolicy();
  lightPolicy.setRetainSizeWhenHidden(true);
  imgGreen_->setSizePolicy(lightPolicy);
  imgGreen_->hide();
  chkComRxMode_ = new QCheckBox(fraOne_);
  chkComRxMode_->setObjectName(QStringLiteral("chkComRxMode"));
  // An indicator of the single-wire mode only: the user cannot change it.
  chkComRxMode_->setAttribute(Qt::WA_TransparentForMouseEvents);
  chkComRxMode_->setFocusPolicy(Qt::NoFocus);
  chkShowMemDat_ = new QCheckBox(fraOne_);
  chkShowMemDat_->setObjectName(QStringLiteral("chkShowMemDat"));

  // What a finished write offers; hidden until then.
  const auto resultButton = [this](const char* name, const QString& text, const QString& description) {
    auto* b = new QPushButton(text, fraOne_);
    b->setObjectName(QString::fromLatin1(name));
    b->setAccessibleName(QString(text).remove(u'&'));
    b->setAccessibleDescription(description);
    b->hide();
    return b;
  };
  cmdWriteAgain_ = resultButton("cmdWriteAgain", QStringLiteral("Write &Again"),
                                QStringLiteral("Repeats the same write, so that the radio holds all of it"));
  cmdDetails_ = resultButton("cmdDetails", QStringLiteral("&Details"),
                             QStringLiteral("What the write changed in the editors and which settings it did not send"));
  cmdClose_ = resultButton("cmdClose", QStringLiteral("&Close"), QStringLiteral("Closes the communication window"));

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdRead_);
  buttons->addWidget(cmdWrite_);
  buttons->addWidget(cmdWriteAgain_);
  buttons->addWidget(cmdDetails_);
  buttons->addWidget(cmdClose_);
  buttons->addStretch(1);
  buttons->addWidget(imgGreen_);
  auto* statusRow = new QHBoxLayout;
  statusRow->addWidget(lblComStatus_, 1);
  statusRow->addWidget(lblComPercent_);
  auto* options = new QHBoxLayout;
  options->addWidget(chkStopCom_);
  options->addStretch(1);
  options->addWidget(chkComRxMode_);
  options->addWidget(chkShowMemDat_);
  auto* one = new QVBoxLayout(fraOne_);
  one->addLayout(buttons);
  one->addWidget(prgCommunicate_);
  one->addLayout(statusRow);
  one->addLayout(options);

  // Address section (long form only).
  fraRdWrDat_ = new QGroupBox(this);
  fraRdWrDat_->setObjectName(QStringLiteral("fraRdWrDat"));
  auto* form = new QFormLayout(fraRdWrDat_);
  for (size_t k = 0; k < addressBoxes_.size(); ++k) {
    const AddressBox box = kAddressBoxes[k];
    const AddressBoxInfo& info = addressBoxInfo(box);
    auto* label = new QLabel(fraRdWrDat_);
    label->setObjectName(info.label);
    auto* edit = new QLineEdit(fraRdWrDat_);
    edit->setObjectName(info.box);
    edit->setText(transfer_.addressText(box));
    label->setBuddy(edit);
    form->addRow(label, edit);
    addressLabels_[k] = label;
    addressBoxes_[k] = edit;
    connect(edit, &QLineEdit::textChanged, this,
            [this, box](const QString& text) { transfer_.addressBoxChanged(box, text); });
  }
  fraRdWrDat_->hide();

  // Trace section (long form only).
  fraTwo_ = new QGroupBox(this);
  fraTwo_->setObjectName(QStringLiteral("fraTwo"));
  listRtData_ = new QListWidget(fraTwo_);
  listRtData_->setObjectName(QStringLiteral("listRtData"));
  auto* two = new QVBoxLayout(fraTwo_);
  two->addWidget(listRtData_);
  fraTwo_->hide();

  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addWidget(fraOne_);
  layout->addWidget(fraRdWrDat_);
  layout->addWidget(fraTwo_);

  tmrReadStart_ = new QTimer(this);
  tmrReadStart_->setObjectName(QStringLiteral("tmrReadStart"));
  tmrReadStart_->setInterval(kStartDelayMs);
  tmrWriteStart_ = new QTimer(this);
  tmrWriteStart_->setObjectName(QStringLiteral("tmrWriteStart"));
  tmrWriteStart_->setInterval(kStartDelayMs);
  tmrLigGrint_ = new QTimer(this);
  tmrLigGrint_->setObjectName(QStringLiteral("tmrLigGrint"));
  tmrLigGrint_->setInterval(kBlinkMs);
  // The start timers run their transfer once, on their first tick.
  connect(tmrReadStart_, &QTimer::timeout, this, [this] {
    tmrReadStart_->stop();
    runRead();
  });
  connect(tmrWriteStart_, &QTimer::timeout, this, [this] {
    tmrWriteStart_->stop();
    runWrite();
  });
  connect(tmrLigGrint_, &QTimer::timeout, this, [this] {
    lightOn_ = !lightOn_;
    imgGreen_->setPixmap(lightOn_ ? lightPixmap_ : darkPixmap_);
  });

  connect(cmdRead_, &QPushButton::clicked, this, [this] { runRead(); });
  connect(cmdWrite_, &QPushButton::clicked, this, [this] { runWrite(); });
  // The same write again: the user already said yes to it.
  connect(cmdWriteAgain_, &QPushButton::clicked, this, [this] { runWrite(); });
  connect(cmdDetails_, &QPushButton::clicked, this, [this] {
    Core& core = transfer_.core();
    core.prompts.message(core.text.SoftFace(kTxtNotice), transfer_.writeReportText(),
                         UserPrompts::Icon::Information);
  });
  connect(cmdClose_, &QPushButton::clicked, this, [this] { close(); });
  connect(chkStopCom_, &QCheckBox::toggled, this, [this](bool ticked) { transfer_.setStopTicked(ticked); });
  connect(chkShowMemDat_, &QCheckBox::toggled, this, [this](bool ticked) { transfer_.ShowMemDat = ticked; });
  transfer_.ShowMemDat = false;

  // The trace list follows the engine's trace.
  ScriptEngine& engine = transfer_.engine();
  TraceList& trace = engine.trace();
  listRtData_->addItems(trace.lines());
  if (trace.selected() >= 0) listRtData_->setCurrentRow(trace.selected());
  connect(&trace, &TraceList::cleared, listRtData_, &QListWidget::clear);
  connect(&trace, &TraceList::lineInserted, listRtData_,
          [this](int row, const QString& text) { listRtData_->insertItem(row, text); });
  connect(&trace, &TraceList::selectionChanged, listRtData_, [this](int row) {
    if (row < 0) listRtData_->clearSelection();
    else listRtData_->setCurrentRow(row);
  });

  chkComRxMode_->setChecked(engine.EchoMode() == 1);
  connect(&engine, &ScriptEngine::echoModeChanged, this, [this](bool ticked) { chkComRxMode_->setChecked(ticked); });

  connect(&transfer_, &Transfer::stateChanged, this, [this] { sync(); });
  // A write ends with its result on show, unless the user asked to close.
  connect(&transfer_, &Transfer::windowCloseWanted, this, [this] {
    if (writeRunning_ && transfer_.CloseRequested != -1) return;
    close();
  });

  transfer_.windowLoaded();
  InitFace();
  sync();
}

CommunicationWindow::~CommunicationWindow() = default;

void CommunicationWindow::InitFace() {
  Core& core = transfer_.core();
  guarded(core.log, "frmCommun->InitFace", [&] {
    const TextTable& text = core.text;
    const QString fontName = core.settings.SoftFont;
    if (!fontName.isEmpty()) {
      const QFont font(fontName);
      for (QWidget* w : std::initializer_list<QWidget*>{this, fraOne_, cmdRead_, cmdWrite_, chkStopCom_})
        w->setFont(font);
    }
    setWindowTitle(text.SoftFace(kTxtCommunicateTitle));
    fraOne_->setTitle(text.SoftFace(kTxtCommunicationFrame));
    cmdRead_->setText(text.SoftFace(kTxtReadButton));
    cmdWrite_->setText(text.SoftFace(kTxtWriteButton));
    const int lang = text.language();
    chkStopCom_->setText(lang == kLangChs || lang == kLangCht ? QStringLiteral("停止通信...")
                                                              : QStringLiteral("Stop Communication"));
    chkComRxMode_->setText(QStringLiteral("单线制通信"));
    chkShowMemDat_->setText(QStringLiteral("Show Memory Data"));
    fraRdWrDat_->setTitle(QStringLiteral("Read Write Data"));
    fraTwo_->setTitle(QStringLiteral("Communication Data"));
    for (size_t k = 0; k < addressLabels_.size(); ++k) addressLabels_[k]->setText(addressBoxInfo(kAddressBoxes[k]).caption);
    lblComStatus_->clear();
  });
}

void CommunicationWindow::sync() {
  const CommunState& s = transfer_.state();
  if (prgCommunicate_->value() != s.progress) prgCommunicate_->setValue(s.progress);
  if (lblComStatus_->text() != s.status) lblComStatus_->setText(s.status);
  if (lblComPercent_->text() != s.percentText) lblComPercent_->setText(s.percentText);
  {
    const QSignalBlocker block(chkStopCom_);
    chkStopCom_->setChecked(s.stopTicked);
  }
  chkStopCom_->setVisible(s.stopVisible);
  cmdRead_->setEnabled(s.readEnabled);
  cmdWrite_->setEnabled(s.writeEnabled);
  setBold(cmdRead_, s.readBold);
  setBold(cmdWrite_, s.writeBold);
  if (s.blinking && !tmrLigGrint_->isActive()) {
    prepareLight();
    // Dark until the first tick lights it, as when it was hidden.
    lightOn_ = false;
    imgGreen_->setPixmap(darkPixmap_);
    imgGreen_->show();
    tmrLigGrint_->start();
  } else if (!s.blinking && tmrLigGrint_->isActive()) {
    tmrLigGrint_->stop();
    imgGreen_->hide();
  }
}

void CommunicationWindow::prepareLight() {
  // The light's two pictures carry the frame behind it, so that the light
  // paints every pixel of its place itself: a tick then repaints those 16 x 16
  // pixels only, not the frame (whose style draws its whole border image
  // for any change inside it).
  imgGreen_->setAttribute(Qt::WA_OpaquePaintEvent, false);
  lightPixmap_ = greenLight();
  darkPixmap_ = darkLight();
  if (!imgGreen_->isHidden() || !fraOne_->isVisible()) return;
  const QPixmap behind = fraOne_->grab(imgGreen_->geometry());
  if (behind.isNull() || behind.deviceIndependentSize().toSize() != imgGreen_->size()) return;
  darkPixmap_ = behind;
  lightPixmap_ = behind;
  QPainter p(&lightPixmap_);
  p.drawPixmap(QRect(QPoint(0, 0), imgGreen_->size()), greenLight());
  p.end();
  imgGreen_->setAttribute(Qt::WA_OpaquePaintEvent, true);
}

void CommunicationWindow::armRead() {
  cmdRead_->hide();
  cmdWrite_->hide();
  tmrReadStart_->start();
}

void CommunicationWindow::armWrite() {
  transfer_.editors().grid.commitPendingTone();
  cmdRead_->hide();
  cmdWrite_->hide();
  tmrWriteStart_->start();
}

void CommunicationWindow::runRead() { transfer_.cmdRead(); }

void CommunicationWindow::runWrite() {
  if (transfer_.running()) return;
  for (QPushButton* b : {cmdWriteAgain_, cmdDetails_, cmdClose_}) b->hide();
  setStatusColour(true);
  writeRunning_ = true;
  transfer_.cmdWrite();
  writeRunning_ = false;
  if (transfer_.CloseRequested == -1 || !isVisible()) return;
  showWriteResult();
}

void CommunicationWindow::showWriteResult() {
  const bool ok = transfer_.outcome() == TransferOutcome::Succeeded;
  setStatusColour(!ok);
  const QStringList lines = transfer_.failureLines();
  // The whole account (system text first) where the short status line leaves it out.
  lblComStatus_->setToolTip(ok ? QString() : lines.join(u'\n'));
  cmdWriteAgain_->setVisible(transfer_.failure().partlyWritten());
  cmdDetails_->setVisible(ok && !transfer_.writeReport().isEmpty());
  cmdClose_->setVisible(true);
  QPushButton* first = cmdWriteAgain_->isVisible() ? cmdWriteAgain_ : cmdClose_;
  first->setDefault(true);
  first->setFocus();
}

void CommunicationWindow::setStatusColour(bool failure) {
  // A failure is red, made readable where the colour scheme is dark; a good
  // result is in the ordinary text colour.
  // The frame's palette: the label's own carries the colour set last.
  const QPalette pal = fraOne_->palette();
  const uint32_t text = pal.color(QPalette::WindowText).rgb() & 0xFFFFFF;
  const uint32_t colour = failure ? readableOn(0xFF0000, pal.color(QPalette::Window).rgb() & 0xFFFFFF, text) : text;
  lblComStatus_->setStyleSheet(QStringLiteral("color: %1;").arg(QColor::fromRgb(colour).name()));
}

void CommunicationWindow::closeEvent(QCloseEvent* event) {
  if (transfer_.requestClose()) event->accept();
  else event->ignore();
}

void CommunicationWindow::reject() { close(); }

bool CommunicationWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == fraOne_ && event->type() == QEvent::MouseButtonDblClick) fraOneDoubleClick();
  return QDialog::eventFilter(watched, event);
}

void CommunicationWindow::fraOneDoubleClick() {
  ++transfer_.DblClickCount;
  if (transfer_.DblClickCount % 10 != kDblClickToggle) return;
  // Between the short form (progress only) and the long form (with the
  // address and trace sections).
  longForm_ = !longForm_;
  fraRdWrDat_->setVisible(longForm_);
  fraTwo_->setVisible(longForm_);
}

void showCommunWindow(Transfer& transfer, CommunMode mode, QWidget* parent) {
  CommunicationWindow window(transfer, parent);
  if (mode == CommunMode::Read) window.armRead();
  else if (mode == CommunMode::Write) window.armWrite();
  window.exec();
}

}  // namespace zr
