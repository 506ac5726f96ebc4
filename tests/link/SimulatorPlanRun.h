#pragma once
// The program side of a transfer, reduced to what the block plan needs, for
// tests that run whole plans against the radio simulator: the list is run
// script by script, a failure restarts it from script 1 (at most 19 times),
// and the identification of script 1 may switch the set or stop the run.
#include <vector>

#include "link/BlockPlan.h"
#include "link/ScriptEngine.h"
#include "link/SerialLibrary.h"
#include "link/Waiters.h"
#include "base/ErrorLog.h"
#include "base/TextTable.h"

namespace zr::test {

struct PlanRun {
  static constexpr int kMaxFailures = 20;

  ErrorLog log{QStringLiteral("test")};
  TextTable text;
  ByteArray image{0x1FFF};
  BlockPlan plan{log, text, image};
  SerialLibrary& io;
  Waiter& waiter;
  int port;
  ScriptEngine engine{io, waiter, log, text};

  int ComStep = 0;
  int failures = 0;
  bool unsupported = false;

  PlanRun(SerialLibrary& serial, Waiter& w, int portNumber) : io(serial), waiter(w), port(portNumber) {
    engine.setTransferPort(port);
    engine.replyHook = [this](ScriptEngine& e) {
      std::vector<uint8_t> captured;
      for (int p = 1; p <= e.capturedCount(); ++p) captured.push_back(e.RxCaptured(p));
      if (plan.replyHook(ComStep, captured).outcome == Identification::Outcome::Unsupported) {
        unsupported = true;
        e.ScriptFailed = -1;
      }
    };
  }

  bool runList(int dir, const AddressRanges& ranges = {}) {
    plan.setRanges(ranges);
    plan.UseCmdSetAlt();
    failures = 0;
    unsupported = false;
    for (int i = 1; i <= plan.ComCodeNum(dir); ++i) {
      ComStep = i;
      const ScriptEntry s = plan.script(dir, i);  // a copy: identification may rebuild the list
      if (dir == kDirWrite)
        for (int k = 0; k < s.ComCount; ++k) engine.setRxCaptured(k + 1, image.at(s.ComAddr + k));
      if (!engine.runScript(s.ComCode)) {
        if (unsupported || ++failures >= kMaxFailures) return false;
        i = 0;  // the whole list again, handshake included
        continue;
      }
      if (dir == kDirRead)
        for (int k = 0; k < s.ComCount; ++k) image.set(s.ComAddr + k, engine.RxCaptured(k + 1));
    }
    return true;
  }

  // The direct stages and the end frame of a write.
  bool runDirectStages(int bandMin, int bandMax, RadioInfoBlock& info) {
    auto delay = [this](int ms) { DelayNms(waiter, ms); };
    const bool echo = engine.EchoMode() == 1;
    std::vector<DirectStage> stages = {plan.modelBandStage(image, bandMin, bandMax)};
    for (int k = 0; k < 3; ++k) stages.push_back(plan.infoStage(k));
    for (const DirectStage& s : stages) {
      const StageResult r = BlockPlan::runDirectStage(io, port, delay, s, echo);
      if (!r.ok) return false;
      BlockPlan::takeInfo(s, r.answer, info);
    }
    for (const DirectStage& s : plan.followingStages(image, info))
      if (!BlockPlan::runDirectStage(io, port, delay, s, echo).ok) return false;
    BlockPlan::sendEndFrame(io, port, delay);
    return true;
  }
};

}  // namespace zr::test
