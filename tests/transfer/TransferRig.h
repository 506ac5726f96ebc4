#pragma once
// A program core with its editors, started as the CLI starts it, whose radio
// link runs on a fake serial port that hands every frame to the radio
// simulator. Waits advance a virtual clock: nothing here sleeps.
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "shell/StartupSteps.h"
#include "data/MemoryImage.h"
#include "editors/Editors.h"
#include "link/FakeSerialLibrary.h"
#include "link/PortAccess.h"
#include "link/ScriptEngine.h"
#include "link/Transfer.h"
#include "link/Waiters.h"
#include "data/Core.h"
#include "sim/RadioSimulator.h"

namespace zr::test {

// The factory image as the program holds it after New (realigned).
inline ByteArray factoryImage() {
  ByteArray a(0x1FFF);
  QFile f(QStringLiteral(ZR_BIN_DIR "/dhcpqec.def"));
  if (f.open(QIODevice::ReadOnly)) {
    const QByteArray b = f.readAll();
    loadRaw(a, std::vector<uint8_t>(b.begin(), b.end()));
    realign(a);
  }
  return a;
}

// Channel 1: 146.52000 MHz both ways, decode 67.0, encode D023N, high power, scan on.
inline const std::vector<uint8_t> kChannel1 = {0x00, 0x20, 0x65, 0x14, 0x00, 0x20, 0x65, 0x14,
                                               0x9E, 0x02, 0x13, 0x28, 0x09, 0x10, 0x01, 0x00};

struct TransferRig {
  static constexpr int kPort = 1;

  QTemporaryDir dir;
  ScriptedPrompts prompts;
  std::unique_ptr<Core> core;
  std::unique_ptr<Editors> editors;
  VirtualClock clock;
  VirtualWaiter waiter{clock};
  FakeSerialLibrary io{&clock};
  RadioSimulator sim;
  std::unique_ptr<ScriptEngine> engine;
  std::unique_ptr<PortAccess> access;
  std::unique_ptr<Transfer> transfer;

  std::vector<CommunState> states;  // every state the window would have shown
  int closes = 0;                   // the window closed itself
  // A frame the radio does not hear when this returns true.
  std::function<bool(const Bytes&)> dropFrame;

  explicit TransferRig(int radioPort = kPort) {
    EXPECT_TRUE(dir.isValid());
    for (const char* name : {"dhcpqec.def", "DefRadioSet_VHF.def", "DefRadioSet_UHF.def", "kelvane.def"})
      EXPECT_TRUE(QFile::copy(QStringLiteral(ZR_BIN_DIR "/") + name, dir.filePath(name))) << name;
    core = std::make_unique<Core>(dir.path(), dir.filePath(kConfigFile), prompts, QStringLiteral("test"));
    editors = std::make_unique<Editors>(*core);
    startHeadless(*editors);
    io.recordCalls = false;
    for (int p = 1; p <= FakeSerialLibrary::kPortCount; ++p) io.port(p).opens = p == kPort || p == radioPort;
    io.port(radioPort).onWrite = [this](const Bytes& frame) {
      if (dropFrame && dropFrame(frame)) return Bytes{};
      return sim.feed(frame);
    };
    engine = std::make_unique<ScriptEngine>(io, waiter, core->log, core->text);
    access = std::make_unique<PortAccess>(io, *engine, waiter, core->log, core->ini, core->settings.ComPort);
    transfer = std::make_unique<Transfer>(*core, *editors, io, *engine, *access, waiter);
    QObject::connect(transfer.get(), &Transfer::stateChanged, [this] { states.push_back(transfer->state()); });
    QObject::connect(transfer.get(), &Transfer::windowCloseWanted, [this] { ++closes; });
  }

  ByteArray& image() { return core->image.TempArray; }

  // Radio memory: the factory image below 0x0400 with channel 1 set, a
  // pattern above.
  void loadRadio() {
    const ByteArray f = factoryImage();
    for (int a = 0; a < RadioSimulator::kMemorySize; ++a)
      sim.poke(a, a < kImageSpan ? f.at(a) : static_cast<uint8_t>((a * 7 + 3) & 0xFF));
    for (int k = 0; k < 16; ++k) sim.poke(0x0010 + k, kChannel1[static_cast<size_t>(k)]);
    sim.setIdent(0x5A, 0x24, 0x29);
    sim.setModelCode(RadioSimulator::kDefaultModelCode);
  }

  void setReadRange(int start, int end) {
    core->settings.ReadStartAddr = start;
    core->settings.ReadEndAddr = end;
  }
  void setWriteRange(int start, int end) {
    core->settings.WriteStartAddr = start;
    core->settings.WriteEndAddr = end;
  }

  QStringList statuses() const {
    QStringList out;
    for (const CommunState& s : states)
      if (out.isEmpty() || out.back() != s.status) out << s.status;
    return out;
  }
  bool sawStatus(const QString& text) const { return statuses().contains(text); }
};

}  // namespace zr::test
