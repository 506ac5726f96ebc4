#include "shell/ui/DesktopApp.h"

#include <QAction>
#include <QHBoxLayout>

#include "editors/ui/ModelFrame.h"
#include "editors/ui/AutoInputWindow.h"
#include "inspector/ui/FillDialog.h"
#include "inspector/ui/HexViewWindow.h"
#include "link/ui/PortDialog.h"
#include <QDir>

namespace zr {

DesktopApp::DesktopApp(const QString& programDir, UserPrompts* prompts)
    : prompts_(prompts ? prompts : &qtPrompts_) {
  core_ = std::make_unique<Core>(programDir, QDir(programDir).filePath(kConfigFile), *prompts_,
                                 QStringLiteral("zr417-cps"));
  editors_ = std::make_unique<Editors>(*core_);
  link_ = std::make_unique<RadioLink>(*core_, waiter_);
  hexView_ = std::make_unique<HexView>(*core_, editors_.get());
  rangeFill_ = std::make_unique<RangeFill>(*hexView_, core_->log);
  window_ = std::make_unique<MainWindow>(*core_, qtPrompts_);
  qtPrompts_.setParentWindow(window_.get());
  window_->commitPendingEdit = [this] { editors_->grid.commitPendingTone(); };
  window_->showHexView = [this](bool show) { hexViewWindow().setShown(show); };
  window_->childLookup = [this](const QString& name) -> QWidget* {
    if (name == QStringLiteral("frmMemDat")) return hexViewWindow_;
    if (name == QStringLiteral("frmPartFill")) return hexViewWindow_ ? hexViewWindow_->fillDialog() : nullptr;
    if (name == QStringLiteral("frmAutoInput")) return autoInputWindow_;
    return nullptr;
  };
  window_->openPortChooser = [this] {
    PortDialog dialog(link_->access, core_->text, &link_->portMap, core_->settings.SoftFont, window_.get());
    dialog.exec();
  };
  link_->access.hooks.showPort = [this](int) { window_->showPort(); };
  link_->access.hooks.showPortChooser = [this] { window_->openPortChooser(); };
}

DesktopApp::~DesktopApp() {
  // The window refers to the core: it goes first.
  window_.reset();
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
    w->interfaceLock().lockWindows = [this](bool) { channelWindow_->refresh(); };
    channelWindow_->rebuild();
    // The model and band frame heads the window, left-aligned above the grid.
    auto* frame = new ModelFrame(editors_->band, core_->text, core_->log, channelWindow_);
    QObject::connect(frame, &ModelFrame::hexViewRequested, w, [this](bool show) { hexViewWindow().setShown(show); });
    auto* row = new QHBoxLayout();
    row->addWidget(frame);
    row->addStretch(1);
    channelWindow_->topArea()->addLayout(row);
  };
  hooks.showChannelWindow = [this, w] {
    w->registerChild(QStringLiteral("frmChMem"), channelWindow_);
    w->showChild(channelWindow_);
  };
  editors_->addStartupHooks(hooks);
  addInspectorStartupHooks(hooks, core_->settings, *hexView_, *rangeFill_);
  // Tests may answer the port steps themselves.
  if (!hooks.VerdictCom && !hooks.AutoSetPort) link_->addStartupHooks(hooks);
  Startup startup(*core_, std::move(hooks));
  startup.run();
  trace_ = startup.trace;
}

}  // namespace zr
