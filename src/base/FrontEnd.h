#pragma once
// Everything the core asks of the program around it, in one place:
// - `UserPrompts`: questions, messages and file choices put to the user;
// - `Waiter`: how the radio link spends a wait (the desktop program serves
//   its window meanwhile, the CLI sleeps, tests move a virtual clock);
// - `FrontEnd`: the few questions about the system and the program itself
//   (the system's locale, whether a port opens, a fresh instance, the
//   desktop's opener, whether the program may close now).
// The desktop program answers with windows and the system, the CLI and tests
// from a script. News of a change never comes this way: a model says what
// changed with its Qt signals (the image's through `DataEvents`).
#include <QString>
#include <QStringList>

#include "base/UserPrompts.h"

namespace zr {

// Windows locale identifiers the first run understands.
constexpr int kLcidChineseTaiwan = 1028;
constexpr int kLcidEnglishUs = 1033;
constexpr int kLcidChinesePrc = 2052;

// Locale identifier of a locale name such as "zh_TW" or "en_US.UTF-8"; 0 for
// any other locale.
int lcidFromLocaleName(const QString& name);

// Waiting inside the radio link (`DelayNms`): the desktop program keeps its
// window alive while it waits, the CLI sleeps. Never spins the processor.
class Waiter {
 public:
  virtual ~Waiter() = default;
  // Waits at least `ms` milliseconds.
  virtual void wait(int ms) = 0;
  // Serves pending user-interface events without waiting (the stop box, close requests).
  virtual void serveEvents() {}
  // Waits `ms` while a reply is known to be on its way: user input and timers
  // are still served, the port's own wake-ups are left to the read after it.
  virtual void rest(int ms) { wait(ms); }
};

// The questions a program without windows or radio answers for itself: the
// system's locale, every port opens, no search, no restart, nothing opens a
// file, the program may always close.
class FrontEnd {
 public:
  virtual ~FrontEnd() = default;
  // `GetSystemDefaultLCID`: the system's locale, for the first run's language.
  virtual int GetSystemDefaultLCID();
  // `VerdictCom`: whether the configured port opens.
  virtual bool VerdictCom(int /*port*/) { return true; }
  // `AutoSetPort`: search the ports for a radio (first run, or a configured
  // port that does not open).
  virtual void AutoSetPort() {}
  // Starts a fresh instance of the program (after a language switch); true
  // when it started.
  virtual bool startNewInstance() { return false; }
  // Hands a local file or folder (a help page, the backup folder) to the
  // desktop's opener; true when it was opened.
  virtual bool openPath(const QString& /*path*/) { return false; }
  // Asked first when the program is to close: false keeps it open (work is
  // still running that the user wants finished).
  virtual bool mayLeave() { return true; }
};

// Answers from a script; records every question in `calls`, in order
// ("GetSystemDefaultLCID", "VerdictCom 3", "AutoSetPort", "startNewInstance",
// "openPath /some/file").
class ScriptedFrontEnd : public FrontEnd {
 public:
  int lcid = kLcidEnglishUs;
  bool portOpens = true;
  bool newInstanceStarts = true;
  bool pathOpens = true;
  bool leavingAllowed = true;
  QStringList calls;

  int GetSystemDefaultLCID() override {
    calls << QStringLiteral("GetSystemDefaultLCID");
    return lcid;
  }
  bool VerdictCom(int port) override {
    calls << QStringLiteral("VerdictCom %1").arg(port);
    return portOpens;
  }
  void AutoSetPort() override { calls << QStringLiteral("AutoSetPort"); }
  bool startNewInstance() override {
    calls << QStringLiteral("startNewInstance");
    return newInstanceStarts;
  }
  bool openPath(const QString& path) override {
    calls << QStringLiteral("openPath ") + path;
    return pathOpens;
  }
  bool mayLeave() override { return leavingAllowed; }
};

}  // namespace zr
