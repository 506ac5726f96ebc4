#pragma once
// The desktop program as an object: its prompts, its core state and its main
// window, started in the documented order. main() makes one; tests make
// their own with a program folder of their choosing.
#include <QString>
#include <memory>

#include "editors/Editors.h"
#include "editors/ui/ChannelWindow.h"
#include "inspector/HexView.h"
#include "inspector/RangeFill.h"
#include "link/RadioLink.h"
#include "link/Transfer.h"
#include "data/Core.h"
#include "shell/Startup.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/QtPrompts.h"

namespace zr {

class DesktopApp {
 public:
  // `prompts` may be given by tests (scripted answers); by default real dialogs.
  explicit DesktopApp(const QString& programDir, UserPrompts* prompts = nullptr);
  ~DesktopApp();

  // Runs the start-up sequence with the window steps; `hooks` may override
  // steps that reach outside (system locale, port search) in tests.
  void start(StartupHooks extra = {});

  Core& core() { return *core_; }
  Editors& editors() { return *editors_; }
  RadioLink& link() { return *link_; }
  HexView& hexView() { return *hexView_; }
  Transfer& transfer() { return *transfer_; }
  // Windows made on first use.
  class HexViewWindow& hexViewWindow();
  class AutoInputWindow& autoInputWindow();
  ChannelWindow& channelWindow() { return *channelWindow_; }
  MainWindow& window() { return *window_; }
  const QStringList& startupTrace() const { return trace_; }

 private:
  // The status line after the communication window closed: the result of the transfer.
  void showTransferResult(bool write);
  QtPrompts qtPrompts_;
  UserPrompts* prompts_;
  std::unique_ptr<Core> core_;
  std::unique_ptr<Editors> editors_;
  EventLoopWaiter waiter_;
  std::unique_ptr<RadioLink> link_;
  std::unique_ptr<Transfer> transfer_;  // goes before the link it hooks into
  std::unique_ptr<HexView> hexView_;
  std::unique_ptr<RangeFill> rangeFill_;
  class HexViewWindow* hexViewWindow_ = nullptr;   // owned by the main window
  class AutoInputWindow* autoInputWindow_ = nullptr;
  std::unique_ptr<MainWindow> window_;
  ChannelWindow* channelWindow_ = nullptr;  // owned by the main window's MDI area
  QStringList trace_;
};

}  // namespace zr
