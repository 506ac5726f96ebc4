#pragma once
// The desktop program as an object: its prompts, its core state and its main
// window, started in the documented order. main() makes one; tests make
// their own with a program folder of their choosing. Here the parts are
// composed: their signals are connected to each other, and the questions
// the core asks of a front end (base/FrontEnd.h) are answered.
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
  // `prompts` may be given by tests (scripted answers); by default real
  // dialogs. `system` may be given by tests too: it answers the questions
  // about the system (locale, ports, opener, a fresh instance) instead of the
  // system itself; whether the program may close is always the desktop's.
  explicit DesktopApp(const QString& programDir, UserPrompts* prompts = nullptr, FrontEnd* system = nullptr);
  ~DesktopApp();

  // Runs the start-up sequence with the window steps.
  void start();

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
  class Answers;
  // The windows' slots of the start-up's steps, after the parts below.
  void connectWindowSteps(Startup& startup);
  // The buttons of the settings pages.
  void onSettingsButton(const QString& name);
  // The port chooser `frmToolCom`, shown modally.
  void openPortChooser();
  // Program > Batch Write...: the station's window, made on first use.
  void openBatchWrite();
  // The status line after the communication window closed: the result of the transfer.
  void showTransferResult(bool write);
  QtPrompts qtPrompts_;
  UserPrompts* prompts_;
  FrontEnd* system_;                 // tests' answers, or null for the system's
  std::unique_ptr<Answers> answers_;  // what the desktop program answers the core
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
