// The simulator on a real pseudo-terminal: the host serving a client that
// uses plain POSIX calls, and `zr417-cli simulate` as a user starts it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "link/PortMap.h"
#include "link/QtSerialLibrary.h"
#include "link/SimulatorPlanRun.h"
#include "sim/PtyHost.h"
#include "sim/RadioSimulator.h"

namespace zr {
namespace {

using Bytes = std::vector<uint8_t>;
const Bytes kProgramBytes = {0x50, 0x52, 0x4F, 0x47, 0x52, 0x41, 0x4D};

// A client on the slave side, as a serial port user would open it.
class Client {
 public:
  explicit Client(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    if (fd_ < 0) return;
    termios t{};
    tcgetattr(fd_, &t);
    cfmakeraw(&t);
    tcsetattr(fd_, TCSANOW, &t);
  }
  ~Client() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool ok() const { return fd_ >= 0; }

  // Sends a frame and collects `n` bytes of answer. The limit only keeps a
  // broken host from hanging the test; no timing is asserted.
  Bytes exchange(const Bytes& frame, size_t n) {
    tcflush(fd_, TCIFLUSH);
    if (::write(fd_, frame.data(), frame.size()) != static_cast<ssize_t>(frame.size())) return {};
    Bytes got;
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (got.size() < n && std::chrono::steady_clock::now() < limit) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 100) <= 0) continue;
      uint8_t buf[64];
      const ssize_t r = ::read(fd_, buf, sizeof buf);
      if (r > 0) got.insert(got.end(), buf, buf + r);
    }
    return got;
  }

 private:
  int fd_ = -1;
};

Bytes cat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(SimulatorPty, HostServesAClientAndSurvivesAReopen) {
  for (bool paced : {false, true}) {
    SCOPED_TRACE(paced ? "paced" : "unpaced");
    RadioSimulator sim;
    sim.poke(0x0400, 0x77);
    PtyHost::Options options;
    options.paced = paced;
    PtyHost host(sim, options);
    ASSERT_TRUE(host.open()) << host.errorText();
    ASSERT_FALSE(host.slavePath().empty());
    bool served = false;
    std::thread server([&] { served = host.run(); });
    {
      Client c(host.slavePath());
      ASSERT_TRUE(c.ok());
      EXPECT_EQ(c.exchange(kProgramBytes, 1), (Bytes{0x06}));
      EXPECT_EQ(c.exchange({0x06}, 1), (Bytes{0x06}));
      EXPECT_EQ(c.exchange({0x24, 0x10, 0x00, 0x01}, 5), (Bytes{0x29, 0x10, 0x00, 0x01, 0x77}));
    }
    {
      // The client went away and comes back: the line still works.
      Client c(host.slavePath());
      ASSERT_TRUE(c.ok());
      EXPECT_EQ(c.exchange(kProgramBytes, 1), (Bytes{0x06}));
    }
    host.stop();
    server.join();
    EXPECT_TRUE(served);
    EXPECT_EQ(sim.requestsServed(), 4);
  }
}

TEST(SimulatorPty, PlansRunOverTheRealSerialLayer) {
  for (bool echo : {false, true}) {
    SCOPED_TRACE(echo ? "single-wire cable" : "two-wire cable");
    RadioSimulator sim;
    for (int a = 0; a < RadioSimulator::kMemorySize; ++a) sim.poke(a, static_cast<uint8_t>(a * 5 + 1));
    sim.setIdent(0x5A, 0x24, 0x29);
    sim.setModelCode(40);
    sim.setEcho(echo);
    PtyHost host(sim);
    ASSERT_TRUE(host.open()) << host.errorText();
    std::thread server([&] { host.run(); });

    PortMap map{[] { return std::vector<SerialDevice>{}; }};
    const int port = map.assign(QString::fromStdString(host.slavePath()));
    CliWaiter waiter;
    QtSerialLibrary io(map, waiter);
    ASSERT_EQ(io.sio_open(port), 0) << io.openError(port).toStdString();
    io.sio_ioctl(port, 12, 7);
    test::PlanRun run(io, waiter, port);

    const AddressRanges ranges{0x0380, 0x03AF, 0x0000, 0x003F};
    EXPECT_TRUE(run.runList(kDirRead, ranges));
    for (int a = 0x0380; a <= 0x03AF; ++a) ASSERT_EQ(run.image.at(a), sim.peek(a)) << a;

    for (int a = 0; a <= 0x003F; ++a) run.image.set(a, 0xC0 ^ a);
    EXPECT_TRUE(run.runList(kDirWrite, ranges));
    RadioInfoBlock info;
    EXPECT_TRUE(run.runDirectStages(40000000, 48000000, info));
    io.sio_close(port);
    host.stop();
    server.join();

    EXPECT_EQ(run.engine.EchoMode(), echo ? 1 : 0);
    for (int a = 0; a <= 0x003F; ++a) ASSERT_EQ(sim.peek(a), 0xC0 ^ a) << a;
    EXPECT_EQ(info.RadioModelCode(), 40);
    EXPECT_EQ(sim.writeCount(0x03F0), 1);  // the parameter stage of model 40
    EXPECT_EQ(sim.endFrames(), 3);
  }
}

TEST(SimulatorPty, StopFlagEndsTheHost) {
  RadioSimulator sim;
  PtyHost host(sim);
  ASSERT_TRUE(host.open());
  volatile std::sig_atomic_t flag = 0;
  bool served = false;
  std::thread server([&] { served = host.run(&flag); });
  flag = 1;
  server.join();
  EXPECT_TRUE(served);
  PtyHost never(sim);
  EXPECT_FALSE(never.run());  // not opened
}

TEST(SimulatorPty, CommandLineSimulate) {
  const QString cli = QStringLiteral(ZR_BIN_DIR "/zr417-cli");
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString image = dir.filePath(QStringLiteral("radio.bin"));
  {
    QFile f(image);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\x01\x02\x03\x04", 4));
  }
  QProcess proc;
  proc.start(cli, {QStringLiteral("simulate"), QStringLiteral("--echo"), QStringLiteral("--ident"),
                   QStringLiteral("5A5257"), QStringLiteral("--model-code=7"), QStringLiteral("--image"), image});
  ASSERT_TRUE(proc.waitForStarted(5000));
  while (!proc.canReadLine() && proc.waitForReadyRead(5000)) {
  }
  ASSERT_TRUE(proc.canReadLine()) << proc.readAllStandardError().toStdString();
  const std::string path = proc.readLine().trimmed().toStdString();
  {
    Client c(path);
    ASSERT_TRUE(c.ok()) << path;
    EXPECT_EQ(c.exchange(kProgramBytes, 8), cat(kProgramBytes, {0x06}));
    const Bytes ident = {0x52, 0x03, 0x88, 0x03};
    EXPECT_EQ(c.exchange(ident, 4 + 7), cat(ident, {0x57, 0x03, 0x88, 0x03, 0x5A, 0x52, 0x57}));
    const Bytes model = {0x24, 0x03, 0xD4, 0x01};
    EXPECT_EQ(c.exchange(model, 4 + 5), cat(model, {0x29, 0x03, 0xD4, 0x01, 0x07}));
    const Bytes start = {0x24, 0x00, 0x00, 0x05};
    EXPECT_EQ(c.exchange(start, 4 + 9), cat(start, {0x29, 0x00, 0x00, 0x05, 0x01, 0x02, 0x03, 0x04, 0xFF}));
  }
  ::kill(static_cast<pid_t>(proc.processId()), SIGINT);
  ASSERT_TRUE(proc.waitForFinished(5000));
  EXPECT_EQ(proc.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(proc.exitCode(), 0);

  struct Bad {
    QStringList args;
    int exit;
  };
  const Bad bad[] = {
      {{QStringLiteral("--ident"), QStringLiteral("5A24")}, 2},
      {{QStringLiteral("--model-code"), QStringLiteral("256")}, 2},
      {{QStringLiteral("--bogus")}, 2},
      {{QStringLiteral("--image"), dir.filePath(QStringLiteral("missing.bin"))}, 1},
  };
  for (const Bad& b : bad) {
    QProcess p;
    p.start(cli, QStringList{QStringLiteral("simulate")} + b.args);
    ASSERT_TRUE(p.waitForFinished(5000)) << b.args.join(u' ').toStdString();
    EXPECT_EQ(p.exitCode(), b.exit) << b.args.join(u' ').toStdString();
    EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
  }
}

}  // namespace
}  // namespace zr
