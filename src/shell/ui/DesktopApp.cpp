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
#include "shell/ui/WheelGuard.h"
#include "base/TextIds.h"
#include <QDir>

namespace zr {

DesktopApp::DesktopApp(const QString& programDir, UserPrompts* prompts)
    : prompts_(prompts ? prompts : &qtPrompts_) {
  core_ = std::make_unique<Core>(programDir, QString(), *prompts_, QStringLiteral("zr417-cps"));
  editors_ = std::make_unique<Editors>(*core_);
  link_ = std::make_unique<RadioLink>(*core_, waiter_);
  hexView_ = std::make_unique<HexView>(*core_, editors_.get());
  transfer_ = std::make_unique<Transfer>(*link_, *editors_);
  QObject::connect(transfer_.get(), &Transfer::hexViewWanted, [this] { hexView_->TableFreDat(); });
  rangeFill_ = std::make_unique<RangeFill>(*hexView_, core_->log);
  window_ = std::make_unique<MainWindow>(*core_, qtPrompts_);
  qtPrompts_.setParentWindow(window_.get());
  qtPrompts_.setProfile(&core_->ini);
  window_->commitPendingEdit = [this] { editors_->grid.commitPendingTone(); };
  window_->showHexView = [this](bool show) { hexViewWindow().setShown(show); };
  window_->childLookup = [this](const QString& name) -> QWidget* {
    if (name == QStringLiteral("frmMemDat")) return hexViewWindow_;
    if (name == QStringLiteral("frmPartFill")) return hexViewWindow_ ? hexViewWindow_->fillDialog() : nullptr;
    if (name == QStringLiteral("frmAutoInput")) return autoInputWindow_;
    return nullptr;
  };
  window_->startTransfer = [this](bool write) {
    window_->showTransferResult({}, {}, false);
    showCommunWindow(*transfer_, write ? CommunMode::Write : CommunMode::Read, window_.get());
    showTransferResult(write);
  };
  window_->openPortChooser = [this] {
    PortDialog dialog(link_->access, core_->text, &link_->portMap, core_->settings.SoftFont, window_.get());
    dialog.exec();
  };
  QObject::connect(&link_->access, &PortAccess::portShown, [this](int) { window_->showPort(); });
  window_->openBatchWrite = [this] {
    auto* batch = qobject_cast<BatchWindow*>(window_->child(QStringLiteral("frmBatchWrite")));
    if (!batch) {
      batch = new BatchWindow(*core_, link_->portMap, window_.get());
      // Each radio is written by the command line's own single-radio write.
      batch->workerProgram = QDir(core_->paths.programDir).filePath(QStringLiteral("zr417-cli"));
      window_->registerChild(QStringLiteral("frmBatchWrite"), batch);
    }
    batch->show();
    batch->raise();
    batch->activateWindow();
  };
  window_->verifyAfterWriteChanged = [this](bool on) { transfer_->verifyAfterWrite = on; };
  // The wheel changes a list or spin box only when it has the focus.
  WheelGuard::install();
  QObject::connect(&link_->access, &PortAccess::portChooserWanted, [this] { window_->openPortChooser(); });
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

void DesktopApp::start(StartupHooks hooks) {
  MainWindow* w = window_.get();
  hooks.tickLanguageMenu = [w](int lang) { w->tickLanguageMenu(lang); };
  hooks.SetSoftFace = [w] { w->SetSoftFace(); };
  hooks.applyLock = [w](bool on) { w->applyLock(on); };
  hooks.initChannelWindow = [this, w] {
    channelWindow_ = new ChannelWindow(*core_, editors_->grid);
    channelWindow_->chLockVisible = [w] { return w->action(QStringLiteral("mnuChLock"))->isVisible(); };
    channelWindow_->chLockTicked = [w] { return w->action(QStringLiteral("mnuChLock"))->isChecked(); };
    channelWindow_->toggleLock = [w] {
      w->interfaceLock().mnuChLock_Click();
      w->syncLock();
    };
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
    pages->setButtonHook(SettingsPages::kDefSet,
                         [this] { core_->files.RestoreDefaults(editors_->band.rangePosition()); });
    pages->setButtonHook(SettingsPages::kAutoInput, [this] { autoInputWindow().showDialog(); });
    pages->setButtonHook(SettingsPages::kDelAllCh, [this] { editors_->grid.deleteAll(); });
    // What the user changes in one of these dialogs is one step.
    pages->setButtonHook(SettingsPages::kTwoWayVolSet, [this, w] {
      UndoHistory::Group step(core_->history);
      VolumeDialog dialog(*core_, w);
      dialog.exec();
    });
    pages->setButtonHook(SettingsPages::kPttIdPauseChSet, [this, w] {
      UndoHistory::Group step(core_->history);
      PttIdPauseDialog dialog(*core_, w);
      dialog.exec();
    });
    pages->orderTabs();
    w->interfaceLock().lockWindows = [this, pages](bool on) {
      channelWindow_->refresh();
      // The settings frames freeze; the tabs and ">" stay usable for looking.
      for (QTabWidget* tabs : {pages->sstabSetMode(), pages->sstabMoreFunc()})
        for (int i = 0; i < tabs->count(); ++i) tabs->widget(i)->setEnabled(!on);
    };
  };
  hooks.showChannelWindow = [this, w] {
    w->registerChild(QStringLiteral("frmChMem"), channelWindow_);
    w->showChild(channelWindow_);
    // The navigation tree is docked from the start, so the radio information
    // and optional-features windows can be reached.
    w->showNamed(QStringLiteral("frmTreeView"));
  };
  addEditorSteps(hooks, *editors_);
  hooks.buildProtocolScripts = [this] { transfer_->buildProtocolScripts(); };
  addInspectorSteps(hooks, core_->settings, *hexView_, *rangeFill_);
  // Tests may answer the port steps themselves.
  if (!hooks.VerdictCom && !hooks.AutoSetPort) addLinkSteps(hooks, *link_);
  Startup startup(*core_, std::move(hooks));
  startup.run();
  trace_ = startup.trace;
  window_->restoreVerifyAfterWrite();
  window_->restorePlaces();
}

}  // namespace zr
