#include "shell/ui/DesktopApp.h"

#include <QDir>

namespace zr {

DesktopApp::DesktopApp(const QString& programDir, UserPrompts* prompts)
    : prompts_(prompts ? prompts : &qtPrompts_) {
  core_ = std::make_unique<Core>(programDir, QDir(programDir).filePath(kConfigFile), *prompts_,
                                 QStringLiteral("zr417-cps"));
  window_ = std::make_unique<MainWindow>(*core_, qtPrompts_);
  qtPrompts_.setParentWindow(window_.get());
}

DesktopApp::~DesktopApp() {
  // The window refers to the core: it goes first.
  window_.reset();
}

void DesktopApp::start(StartupHooks hooks) {
  MainWindow* w = window_.get();
  hooks.tickLanguageMenu = [w](int lang) { w->tickLanguageMenu(lang); };
  hooks.SetSoftFace = [w] { w->SetSoftFace(); };
  hooks.applyLock = [w](bool on) { w->applyLock(on); };
  Startup startup(*core_, std::move(hooks));
  startup.run();
  trace_ = startup.trace;
}

}  // namespace zr
