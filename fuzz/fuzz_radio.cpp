// The radio's replies from anywhere: a script run by the script engine, or a
// whole read or write against a fake serial line on which every frame is
// answered as the fuzzer says: faithfully by the radio simulator, not at all,
// with the echo of a single-wire cable, cut short, corrupted, or with bytes of
// the fuzzer's own. Once the fuzzer's bytes are used up the radio answers
// faithfully, so every transfer also reaches its end. Checks that a transfer
// always ends, closes its port and says how it ended, that the image keeps its
// size, and that a read the line never disturbed copies the radio exactly.
//
// Input: mode (script, read, write), the radio's port and identification,
// the line's echo, the address boxes, then one directive per frame.
#include <QFile>

#include "FuzzSupport.h"
#include "data/MemoryImage.h"
#include "link/FakeSerialLibrary.h"
#include "link/PortAccess.h"
#include "link/ScriptEngine.h"
#include "link/Transfer.h"
#include "link/Waiters.h"
#include "sim/RadioSimulator.h"

using namespace zr;
using namespace zr::fuzz;

namespace {

// The line between the program and the radio, directed by the fuzzer.
struct Line {
  Reader& in;
  RadioSimulator& radio;
  bool disturbed = false;  // some frame was not answered faithfully

  Bytes answer(const Bytes& frame) {
    if (in.empty()) return radio.feed(frame);
    const uint8_t d = in.byte();
    switch (d & 7) {
      case 3:  // the radio does not hear the frame
        disturbed = true;
        return {};
      case 4: {  // only the cable's echo comes back
        disturbed = true;
        return frame;
      }
      case 5: {  // echo, then the radio's answer
        disturbed = true;
        Bytes out = frame;
        const Bytes reply = radio.feed(frame);
        out.insert(out.end(), reply.begin(), reply.end());
        return out;
      }
      case 6: {  // the answer cut short
        disturbed = true;
        Bytes reply = radio.feed(frame);
        reply.resize(reply.empty() ? 0 : in.byte() % reply.size());
        return reply;
      }
      case 7: {  // bytes of the fuzzer's own
        disturbed = true;
        return in.bytes(in.byte() % 48);
      }
      default: {
        Bytes reply = radio.feed(frame);
        if ((d & 0x80) && !reply.empty()) {  // one byte corrupted
          disturbed = true;
          reply[in.byte() % reply.size()] ^= static_cast<uint8_t>(in.byte() | 1);
        }
        return reply;
      }
    }
  }
};

// The radio's memory at the start of every input: the factory image, then
// a pattern past its end. Made once: a byte-by-byte fill cost more than a
// short transfer.
const std::array<uint8_t, RadioSimulator::kMemorySize>& startMemory() {
  static const auto memory = [] {
    ByteArray factory(RadioSimulator::kMemorySize - 1);
    loadRaw(factory, readFile(programPath(kDefaultImageFile)));
    realign(factory);
    std::array<uint8_t, RadioSimulator::kMemorySize> m{};
    for (int a = 0; a < RadioSimulator::kMemorySize; ++a)
      m[static_cast<size_t>(a)] = a < kImageSpan ? factory.at(a) : static_cast<uint8_t>((a * 7 + 3) & 0xFF);
    return m;
  }();
  return memory;
}

// A configuration of its own: a port search may store the port it found
// (the restart after each input puts the file back).
Session& radioSession() {
  static Session* session = [] {
    const QString config = programPath(QStringLiteral("radio.def"));
    QFile::remove(config);
    ZR_CHECK(QFile::copy(programPath(kConfigFile), config));
    QFile::setPermissions(config, QFile::ReadOwner | QFile::WriteOwner);
    auto* s = new Session(config);
    s->restart();
    return s;
  }();
  return *session;
}

void checkEnded(const Transfer& t, bool result, const FakeSerialLibrary& io, const PortAccess& access) {
  ZR_CHECK(!t.running());
  ZR_CHECK(t.outcome() != TransferOutcome::None);
  ZR_CHECK(result == (t.outcome() == TransferOutcome::Succeeded));
  ZR_CHECK(t.Communicating() == 0 && access.Communicating == 0);
  ZR_CHECK(t.ComRetry <= Transfer::kMaxFailures || t.ComRetry == kUnsupportedRetry);
  ZR_CHECK(t.state().progress >= 0 && t.state().progress <= 100);
  for (int p = 1; p <= FakeSerialLibrary::kPortCount; ++p) ZR_CHECK(!io.port(p).isOpen);
}

void checkEngine(const ScriptEngine& e) {
  ZR_CHECK(e.ScriptFailed == 0 || e.ScriptFailed == -1);
  ZR_CHECK(e.CapturePos >= 1 && e.CapturePos <= ScriptEngine::kCaptureSize + 1);
  ZR_CHECK(e.captured().size() <= static_cast<size_t>(ScriptEngine::kCaptureSize));
  ZR_CHECK(e.EchoMode() == 0 || e.EchoMode() == 1);
  ZR_CHECK(e.trace().TraceIndex >= 0 && e.trace().TraceIndex <= e.trace().count());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  initialise(argc, argv);
  return 0;
}

// One input from a fresh state; returns how it ended and what it left behind.
static uint64_t once(const uint8_t* data, size_t size) {
  Reader in(data, size);
  const uint8_t mode = in.byte() % 3;
  const uint8_t ports = in.byte();
  const uint8_t ident = in.byte();

  Session& s = radioSession();
  Session::RestartAfter reset(s);
  Core& c = *s.core;
  Digest d;

  RadioSimulator radio;
  radio.loadImage(startMemory());
  static const uint8_t kIdents[][3] = {{0x5A, 0x24, 0x29}, {0x5A, 0x52, 0x57}, {0x00, 0x00, 0x00}, {0x5A, 0x11, 0x22}};
  const uint8_t* id = kIdents[ident % 4];
  radio.setIdent(id[0], id[1], id[2]);
  radio.setModelCode(ident >> 2);
  radio.setEcho(false);

  VirtualClock clock;
  VirtualWaiter waiter(clock);
  FakeSerialLibrary io(&clock);
  io.recordCalls = false;
  Line line{in, radio};
  const int radioPort = ports % FakeSerialLibrary::kPortCount + 1;
  for (int p = 1; p <= FakeSerialLibrary::kPortCount; ++p) io.port(p).opens = p == radioPort || (ports & 0x10 && p == 1);
  io.port(radioPort).onWrite = [&line](const Bytes& frame) { return line.answer(frame); };
  ScriptEngine engine(io, waiter, c.log, c.text);
  const int imageSize = s.image().size();
  const ByteArray defaults = c.image.DefTempArray;

  if (mode == 0) {
    // One script on an open line.
    ZR_CHECK(io.sio_open(radioPort) == 0);
    engine.setTransferPort(radioPort);
    engine.setEchoMode(ports >> 7);
    const QString script = in.text(160);
    for (int k = 0; k < 3; ++k) {
      engine.runScript(k == 0 ? script : QStringLiteral("TX50524F4752414DRX06TX06RX06EN"));
      checkEngine(engine);
    }
    for (int pos : {-1, 0, 1, 200, 201}) silently([&] { (void)engine.ScriptToken(pos); });
    for (int pos : {0, 1, 100, 101}) silently([&] { (void)engine.RxCaptured(pos); });
    d.add(engine.captured().data(), engine.captured().size());
    d.add(static_cast<long long>(engine.ScriptFailed));
    s.digest(d);
    return d.value();
  }

  PortAccess access(io, engine, waiter, c.log, c.ini, c.settings.ComPort);
  Transfer transfer(c, *s.editors, io, engine, access, waiter);
  transfer.searchOtherPorts = ports & 0x20;
  // The address boxes as a user might type them. The plain case reads or
  // writes a few blocks, its range set as the CLI's --range sets it (the
  // boxes' texts and the configuration file stay as they were: four writes
  // of the file per input told nothing the typed boxes do not).
  if (ports & 0x40) {
    for (AddressBox box : kAddressBoxes)
      transfer.addressBoxChanged(box, QString::number(in.word(), 16).toUpper());
  } else {
    const int start = (in.byte() % 0x20) * 0x100;
    c.settings.ReadStartAddr = c.settings.WriteStartAddr = start;
    c.settings.ReadEndAddr = c.settings.WriteEndAddr = start + 0xFF;
  }
  std::vector<uint8_t> arrived;
  QObject::connect(&transfer, &Transfer::readArrived, [&] { arrived = s.image().bytes(); });

  const bool ok = mode == 1 ? transfer.cmdRead() : transfer.cmdWrite();
  checkEnded(transfer, ok, io, access);
  checkEngine(engine);
  ZR_CHECK(s.image().size() == imageSize);
  ZR_CHECK(c.image.DefTempArray == defaults);

  // A read nobody disturbed holds the radio's bytes of the read range.
  if (mode == 1 && ok && !line.disturbed) {
    ZR_CHECK(arrived.size() == static_cast<size_t>(imageSize));
    const int first = std::max(c.settings.ReadStartAddr, 0);
    const int last = std::min({c.settings.ReadEndAddr, imageSize - 1, RadioSimulator::kMemorySize - 1});
    for (int a = first; a <= last; ++a) ZR_CHECK(arrived[static_cast<size_t>(a)] == radio.peek(a));
  }
  d.add(static_cast<long long>(ok));
  d.add(static_cast<long long>(transfer.outcome()));
  d.add(static_cast<long long>(transfer.ComRetry));
  d.add(arrived);
  s.digest(d);
  return d.value();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 8192) return -1;
  sameTwice([&] { return once(data, size); });
  return 0;
}
