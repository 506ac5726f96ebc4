#include "shell/StartupSteps.h"
#include "shell/ui/DesktopApp.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QTabWidget>

#include "editors/ui/ModelFrame.h"
#include "editors/ui/AutoInputWindow.h"
#include "editors/ui/PttIdPauseDialog.h"
#include "editors/ui/SettingsPages.h"
#include "editors/ui/TwoToneGrids.h"
#include "editors/ui/VolumeDialog.h"
#include "inspector/ui/FillDialog.h"
#include "inspector/ui/HexViewWindow.h"
#include "link/ui/CommunicationWindow.h"
#include "link/ui/BatchWindow.h"
#include "link/ui/PortDialog.h"
#include "shell/ui/ComboAccessible.h"
#include "shell/ui/FocusFrameStyle.h"
#include "shell/ui/WheelGuard.h"
#include "base/TextIds.h"
#include <QCoreApplication>
#include <QDir>
#include <QProcess>

namespace zr {

// What the desktop program answers the core: the system's locale, the port
// probe and search of the radio link, a fresh process of this program, the
// desktop's opener, and the batch station's word on leaving. Tests may answer
// the questions about the system instead (`system`).
class DesktopApp::Answers : public FrontEnd {
 public:
  explicit Answers(DesktopApp& app) : app_(app) {}
  int GetSystemDefaultLCID() override {
    return app_.system_ ? app_.system_->GetSystemDefaultLCID() : FrontEnd::GetSystemDefaultLCID();
  }
  bool VerdictCom(int port) override {
    return app_.system_ ? app_.system_->VerdictCom(port) : app_.link_->access.VerdictCom(port);
  }
  void AutoSetPort() override {
    if (app_.system_) app_.system_->AutoSetPort();
    else app_.link_->access.AutoSetPort();
  }
  bool startNewInstance() override {
    if (app_.system_) return app_.system_->startNewInstance();
    return QProcess::startDetached(QCoreApplication::applicationFilePath(), {});
  }
  bool openPath(const QString& path) override {
    return app_.system_ ? app_.system_->openPath(path) : app_.window_->openOutside(path);
  }
  // Leaving while a batch round writes radios asks first; the writes that
  // are ended get their result and log row.
  bool mayLeave() override {
    auto* batch = qobject_cast<BatchWindow*>(app_.window_->child(QStringLiteral("frmBatchWrite")));
    return !batch || batch->mayEndRound(QStringLiteral("Closing the program"));
  }

 private:
  DesktopApp& app_;
};

DesktopApp::DesktopApp(const QString& programDir, UserPrompts* prompts, FrontEnd* system)
    : prompts_(prompts ? prompts : &qtPrompts_), system_(system), answers_(std::make_unique<Answers>(*this)) {
  // The focus is plain to see, and every list tells a screen reader its name:
  // both before the first window exists, so that no list is described
  // another way first.
  FocusFrameStyle::install();
  ComboAccessible::install();
  core_ = std::make_unique<Core>(programDir, QString(), *prompts_, QStringLiteral("zr417-cps"));
  editors_ = std::make_unique<Editors>(*core_);
  link_ = std::make_unique<RadioLink>(*core_, waiter_);
  hexView_ = std::make_unique<HexView>(*core_, editors_.get());
  transfer_ = std::make_unique<Transfer>(*link_, *editors_);
  QObject::connect(transfer_.get(), &Transfer::hexViewWanted, [this] { hexView_->TableFreDat(); });
  rangeFill_ = std::make_unique<RangeFill>(*hexView_, core_->log);
  window_ = std::make_unique<MainWindow>(*core_, qtPrompts_, *answers_);
  qtPrompts_.setParentWindow(window_.get());
  qtPrompts_.setProfile(&core_->ini);
  MainWindow* w = window_.get();
  QObject::connect(w, &MainWindow::commitPendingEditWanted, w, [this] { editors_->grid.commitPendingTone(); });
  QObject::connect(w, &MainWindow::hexViewWanted, w, [this](bool show) { hexViewWindow().setShown(show); });
  QObject::connect(w, &MainWindow::transferWanted, w, [this](bool write) {
    window_->showTransferResult({}, {}, false);
    showCommunWindow(*transfer_, write ? CommunMode::Write : CommunMode::Read, window_.get());
    showTransferResult(write);
  });
  QObject::connect(w, &MainWindow::portChooserWanted, w, [this] { openPortChooser(); });
  QObject::connect(&link_->access, &PortAccess::portShown, w, [this](int) { window_->showPort(); });
  QObject::connect(w, &MainWindow::batchWriteWanted, w, [this] { openBatchWrite(); });
  QObject::connect(w, &MainWindow::leaving, w, [this] {
    if (auto* batch = qobject_cast<BatchWindow*>(window_->child(QStringLiteral("frmBatchWrite"))))
      batch->endRound(QStringLiteral("the program was closed"));
  });
  QObject::connect(w, &MainWindow::verifyAfterWriteChanged, w, [this](bool on) { transfer_->verifyAfterWrite = on; });
  // The wheel changes a list or spin box only when it has the focus.
  WheelGuard::install();
  QObject::connect(&link_->access, &PortAccess::portChooserWanted, w, [this] { openPortChooser(); });
}

void DesktopApp::openPortChooser() {
  PortDialog dialog(link_->access, core_->text, &link_->portMap, core_->settings.SoftFont, window_.get());
  dialog.exec();
}

void DesktopApp::openBatchWrite() {
  auto* batch = qobject_cast<BatchWindow*>(window_->child(QStringLiteral("frmBatchWrite")));
  if (!batch) {
    batch = new BatchWindow(*core_, link_->portMap, window_.get());
    // Each radio is written by the command line's own single-radio write.
    batch->workerProgram = QDir(core_->paths.programDir).filePath(QStringLiteral("zr417-cli"));
    window_->registerChild(QStringLiteral("frmBatchWrite"), batch);
    // The one place where the batch and the single transfers meet: the
    // ports a round is writing are closed to Read and Write meanwhile.
    QObject::connect(batch, &BatchWindow::portsInUseChanged, window_.get(), [this](const QStringList& devices) {
      std::map<QString, QString>& inUse = link_->access.devicesInUse;
      inUse.clear();
      for (const QString& d : devices) inUse[d] = QStringLiteral("the Batch Write window");
    });
  }
  batch->show();
  batch->raise();
  batch->activateWindow();
}

void DesktopApp::showTransferResult(bool write) {
  const Transfer& t = *transfer_;
  if (t.outcome() == TransferOutcome::None) return;  // closed before it started
  if (t.outcome() == TransferOutcome::Succeeded) {
    window_->showTransferResult(write ? t.summary() : core_->text.SoftFace(kTxtReadOk), {}, false);
    return;
  }
  const QStringList lines = t.failureLines();
  if (lines.isEmpty()) return;
  // A partly written radio leads with what it now holds; otherwise the cause.
  const QString shown = lines.size() > 2 ? lines[1] : lines.size() > 1 ? lines.first() + QStringLiteral(" ") + lines[1] : lines.first();
  window_->showTransferResult(shown, lines.join(u'\n'), true);
}

DesktopApp::~DesktopApp() {
  // The window refers to the core: it goes first; the transfer unhooks itself from the link.
  window_.reset();
  transfer_.reset();
}

HexViewWindow& DesktopApp::hexViewWindow() {
  if (!hexViewWindow_) hexViewWindow_ = new HexViewWindow(*core_, *hexView_, *rangeFill_, window_.get());
  return *hexViewWindow_;
}

AutoInputWindow& DesktopApp::autoInputWindow() {
  if (!autoInputWindow_) autoInputWindow_ = new AutoInputWindow(*editors_, window_.get());
  return *autoInputWindow_;
}

void DesktopApp::onSettingsButton(const QString& name) {
  if (name == SettingsPages::kDefSet) {
    core_->files.RestoreDefaults(editors_->band.rangePosition());
  } else if (name == SettingsPages::kAutoInput) {
    autoInputWindow().showDialog();
  } else if (name == SettingsPages::kDelAllCh) {
    editors_->grid.deleteAll();
  } else if (name == SettingsPages::kTwoWayVolSet) {
    // What the user changes in one of these dialogs is one step.
    UndoHistory::Group step(core_->history);
    VolumeDialog dialog(*core_, window_.get());
    dialog.exec();
  } else if (name == SettingsPages::kPttIdPauseChSet) {
    UndoHistory::Group step(core_->history);
    PttIdPauseDialog dialog(*core_, window_.get());
    dialog.exec();
  }
}

void DesktopApp::connectWindowSteps(Startup& startup) {
  MainWindow* w = window_.get();
  QObject::connect(&startup, &Startup::languageSettled, w, &MainWindow::tickLanguageMenu);
  QObject::connect(&startup, &Startup::buildProtocolScripts, w, [this] { transfer_->buildProtocolScripts(); });
  QObject::connect(&startup, &Startup::SetSoftFace, w, &MainWindow::SetSoftFace);
  QObject::connect(&startup, &Startup::initChannelWindow, w, [this, w] {
    channelWindow_ = new ChannelWindow(*core_, editors_->grid);
    QObject::connect(w, &MainWindow::lockEntryShown, channelWindow_, &ChannelWindow::setLockEntry);
    QObject::connect(channelWindow_, &ChannelWindow::lockToggled, w, [w] {
      w->interfaceLock().mnuChLock_Click();
      w->syncLock();
    });
    channelWindow_->rebuild();
    if (QMenu* edit = w->menu(QStringLiteral("mnuEdit"))) {
      edit->addSeparator();
      edit->addActions(channelWindow_->channelActions());
    }
    // Below the grid the settings pages; the model and band frame sits on their "Radio Info" tab.
    auto* pages = new SettingsPages(editors_->settings, channelWindow_);
    pages->setObjectName(QStringLiteral("SettingsPages"));
    channelWindow_->bottomArea()->addWidget(pages);
    auto* frame = new ModelFrame(editors_->band, core_->text, core_->log, pages);
    QObject::connect(frame, &ModelFrame::hexViewRequested, w, [this](bool show) { hexViewWindow().setShown(show); });
    auto* row = new QHBoxLayout();
    row->addWidget(frame);
    row->addStretch(1);
    pages->radioInfoArea()->insertLayout(0, row);
    auto* twoTone = new TwoToneGrids(*core_);
    pages->addToFrame(QStringLiteral("fraTwoTone"), twoTone);
    QObject::connect(&core_->events, &DataEvents::bytesChanged, twoTone, [twoTone] { twoTone->redraw(); });
    // An undo step redraws the editors outside the core's own; the hex view
    // shows the bytes it put back (marked red) once it has been laid out.
    QObject::connect(&core_->history, &UndoHistory::restored, twoTone, [this, twoTone] {
      twoTone->redraw();
      if (hexView_->dataRows() > 0) hexView_->TableFreDat();
    });
    // After the settings pages, whenever the image was replaced.
    QObject::connect(&core_->events, &DataEvents::replaced, twoTone, [twoTone] { twoTone->refresh(); });
    QObject::connect(pages, &SettingsPages::buttonPressed, w, [this](const QString& name) { onSettingsButton(name); });
    pages->orderTabs();
    QObject::connect(&w->interfaceLock(), &InterfaceLock::windowsLocked, pages, [this, pages](bool on) {
      channelWindow_->refresh();
      // The settings frames freeze; the tabs and ">" stay usable for looking.
      for (QTabWidget* tabs : {pages->sstabSetMode(), pages->sstabMoreFunc()})
        for (int i = 0; i < tabs->count(); ++i) tabs->widget(i)->setEnabled(!on);
    });
  });
  QObject::connect(&startup, &Startup::showChannelWindow, w, [this, w] {
    w->registerChild(QStringLiteral("frmChMem"), channelWindow_);
    w->showChild(channelWindow_);
    // The navigation tree is docked from the start, so the radio information
    // and optional-features windows can be reached.
    w->showNamed(QStringLiteral("frmTreeView"));
  });
  QObject::connect(&startup, &Startup::lockRestored, w, &MainWindow::applyLock);
}

void DesktopApp::start() {
  Startup startup(*core_, *answers_);
  // The parts below the windows first: within a step their slots run before
  // the windows' (the grid has its columns before its window shows them).
  addLinkSteps(startup);
  addEditorSteps(startup, *editors_);
  addInspectorSteps(startup, core_->settings, *hexView_, *rangeFill_);
  connectWindowSteps(startup);
  startup.run();
  trace_ = startup.trace;
  window_->restoreVerifyAfterWrite();
  window_->restorePlaces();
}

}  // namespace zr
