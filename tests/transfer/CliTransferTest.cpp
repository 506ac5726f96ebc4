// zr417-cli read and write end to end: the simulator started as
// `zr417-cli simulate` on a pseudo-terminal, the transfers as processes.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <signal.h>

#include "transfer/TransferRig.h"

namespace zr {
namespace {

const QString kCli = QStringLiteral(ZR_BIN_DIR "/zr417-cli");

struct CliRun {
  int exitCode = -1;
  QString err;
};

CliRun cli(const QStringList& args) {
  QProcess p;
  p.start(kCli, args);
  if (!p.waitForFinished(120000)) {
    p.kill();
    p.waitForFinished();
  }
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError())};
}

// `zr417-cli simulate` for the life of the object, stopped with SIGINT.
class Simulator {
 public:
  explicit Simulator(const QStringList& args) {
    proc_.start(kCli, QStringList{QStringLiteral("simulate")} + args);
    if (!proc_.waitForStarted(5000)) return;
    while (!proc_.canReadLine() && proc_.waitForReadyRead(5000)) {
    }
    device_ = QString::fromUtf8(proc_.readLine()).trimmed();
  }
  ~Simulator() {
    if (proc_.state() == QProcess::NotRunning) return;
    ::kill(static_cast<pid_t>(proc_.processId()), SIGINT);
    if (!proc_.waitForFinished(5000)) proc_.kill();
  }
  const QString& device() const { return device_; }
  bool stoppedCleanly() {
    ::kill(static_cast<pid_t>(proc_.processId()), SIGINT);
    return proc_.waitForFinished(5000) && proc_.exitStatus() == QProcess::NormalExit && proc_.exitCode() == 0;
  }

 private:
  QProcess proc_;
  QString device_;
};

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

class CliTransfer : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    config = dir.filePath(QStringLiteral("kelvane.def"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZR_BIN_DIR "/kelvane.def"), config));
    // The radio: factory settings with channel 1, a pattern above 0x03FF.
    const ByteArray f = test::factoryImage();
    radio.resize(RadioSimulator::kMemorySize);
    for (int a = 0; a < radio.size(); ++a)
      radio[a] = static_cast<char>(a < kImageSpan ? f.at(a) : (a * 7 + 3) & 0xFF);
    for (int k = 0; k < 16; ++k) radio[0x10 + k] = static_cast<char>(test::kChannel1[static_cast<size_t>(k)]);
    radio[0x0388] = 0x5A;  // the identification the simulator reports anyway
    radio[0x0389] = 0x24;
    radio[0x038A] = 0x29;
    radio[0x03D4] = static_cast<char>(RadioSimulator::kDefaultModelCode);
    radioFile = path("radio.bin");
    writeAll(radioFile, radio);
  }

  QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
  CliRun run(const QStringList& args) { return cli(QStringList{QStringLiteral("--config"), config} + args); }

  QTemporaryDir dir;
  QString config;
  QByteArray radio;
  QString radioFile;
};

TEST_F(CliTransfer, ReadThenWriteThroughADevicePath) {
  Simulator sim({QStringLiteral("--image"), radioFile});
  ASSERT_FALSE(sim.device().isEmpty());
  const QByteArray configBefore = readAll(config);

  // A whole read: the raw image is the radio's memory, the data file is saved.
  CliRun r = run({QStringLiteral("read"), QStringLiteral("--port"), sim.device(), QStringLiteral("--raw"),
                  path("a.bin"), QStringLiteral("--out"), path("a.dat")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(readAll(path("a.bin")), radio);
  const QByteArray dat = readAll(path("a.dat"));
  ASSERT_EQ(dat.size(), kDataFileSize);
  EXPECT_EQ(dat.mid(0x20, 16), radio.mid(0x10, 16));  // channel 1 at file offset 0x20
  QStringList progress;
  for (int p = 10; p <= 100; p += 10) progress << QStringLiteral("zr417-cli read: %1 %").arg(p);
  QStringList lines = r.err.split(u'\n', Qt::SkipEmptyParts);
  EXPECT_EQ(lines.mid(0, 10), progress);
  EXPECT_EQ(lines.value(10), QStringLiteral("Read Successful"));
  // A device path is never stored as the port.
  EXPECT_EQ(readAll(config), configBefore);

  // A raw write of 0x0400-0x04FF, read back.
  QByteArray changed = radio;
  for (int a = 0x0400; a <= 0x04FF; ++a) changed[a] = static_cast<char>(0x5A ^ a);
  writeAll(path("b.bin"), changed);
  r = run({QStringLiteral("write"), QStringLiteral("--port"), sim.device(), QStringLiteral("--range"),
           QStringLiteral("0400-04FF"), QStringLiteral("--raw"), path("b.bin")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains(QStringLiteral("zr417-cli write: 100 %")));
  r = run({QStringLiteral("read"), QStringLiteral("--port"), sim.device(), QStringLiteral("--range"),
           QStringLiteral("0300-05FF"), QStringLiteral("--raw"), path("c.bin")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QByteArray back = readAll(path("c.bin"));
  EXPECT_EQ(back.mid(0x0400, 0x100), changed.mid(0x0400, 0x100));
  EXPECT_EQ(back.mid(0x0500, 0x100), radio.mid(0x0500, 0x100));

  // The saved data file written back with a new channel 2, read back.
  QByteArray withCh2 = dat;
  const char ch2[8] = {0x00, 0x50, 0x62, 0x44, 0x00, 0x50, 0x62, 0x44};  // 446.25000 MHz both ways
  for (int k = 0; k < 8; ++k) withCh2[0x30 + k] = ch2[k];
  writeAll(path("d.dat"), withCh2);
  r = run({QStringLiteral("write"), QStringLiteral("--port"), sim.device(), path("d.dat")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains(QStringLiteral("Write Successful")));
  r = run({QStringLiteral("read"), QStringLiteral("--port"), sim.device(), QStringLiteral("--range"),
           QStringLiteral("0000-03FF"), QStringLiteral("--raw"), path("e.bin")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QByteArray e = readAll(path("e.bin"));
  EXPECT_EQ(e.mid(0x20, 8), QByteArray(ch2, 8));
  EXPECT_EQ(e.mid(0x10, 8), radio.mid(0x10, 8));
  EXPECT_EQ(static_cast<uint8_t>(e[0x0360]), 0x08);  // the write preparation went along
  EXPECT_EQ(readAll(config), configBefore);
  EXPECT_TRUE(sim.stoppedCleanly());
}

TEST_F(CliTransfer, SingleWireCable) {
  Simulator sim({QStringLiteral("--echo"), QStringLiteral("--image"), radioFile});
  ASSERT_FALSE(sim.device().isEmpty());
  const CliRun r = run({QStringLiteral("read"), QStringLiteral("--port"), sim.device(), QStringLiteral("--range"),
                        QStringLiteral("0000-00FF"), QStringLiteral("--raw"), path("echo.bin")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(readAll(path("echo.bin")).left(0x100), radio.left(0x100));
}

// Port numbers as the configuration pins them: COM1 names no device, the
// radio is on COM2. A number is the only port tried unless --search, the
// answering port is named before the blocks, and "COM" is never rewritten.
TEST_F(CliTransfer, PortNumbersAndSearch) {
  Simulator sim({QStringLiteral("--image"), radioFile});
  ASSERT_FALSE(sim.device().isEmpty());
  {
    QFile f(config);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write(QStringLiteral("\n[Ports]\nCOM1=%1\nCOM2=%2\n").arg(path("no-such-tty"), sim.device()).toUtf8());
  }
  const QByteArray configBefore = readAll(config);
  ASSERT_TRUE(configBefore.contains("\nCOM=1"));
  const QString answered = QStringLiteral("zr417-cli read: the radio answered on COM2 (%1)").arg(sim.device());
  struct Case {
    QStringList args;
    int exit;
    bool answersOnCom2;
  };
  const Case cases[] = {
      {{"read", "--port", "2"}, 0, true},
      {{"read", "--port", "1"}, 1, false},
      {{"read", "--port", "1", "--search"}, 0, true},
      {{"read", "--port=2", "--search"}, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.join(u' ').toStdString());
    const CliRun r = run(c.args + QStringList{"--range", "0000-003F", "--raw", path("p.bin")});
    EXPECT_EQ(r.exitCode, c.exit) << r.err.toStdString();
    const QStringList lines = r.err.split(u'\n', Qt::SkipEmptyParts);
    if (c.answersOnCom2) {
      // Named first, before any progress.
      EXPECT_EQ(lines.value(0), answered) << r.err.toStdString();
      EXPECT_EQ(readAll(path("p.bin")).mid(0x10, 16), radio.mid(0x10, 16));
    } else {
      EXPECT_FALSE(r.err.contains(QStringLiteral("answered"))) << r.err.toStdString();
      EXPECT_TRUE(r.err.contains(QStringLiteral("cannot open %1: no such device").arg(path("no-such-tty"))))
          << r.err.toStdString();
    }
    EXPECT_EQ(readAll(config), configBefore);
  }
}

TEST_F(CliTransfer, FailuresAndUsage) {
  Simulator odd({QStringLiteral("--ident"), QStringLiteral("5A1234")});
  ASSERT_FALSE(odd.device().isEmpty());
  writeAll(path("w.dat"), readAll(QStringLiteral(ZR_BIN_DIR "/dhcpqec.def")));
  struct Case {
    QStringList args;
    int exit;
    QString errorText;  // part of stderr
  };
  const Case cases[] = {
      {{"read", "--port", path("no-such-tty"), "--raw", path("x.bin")}, 1,
       "Read Failed: Communication failed,please check commuication port!"},
      {{"read", "--port", odd.device(), "--raw", path("x.bin")}, 1,
       "This software Can't support this radio!Please use special radio software or contact with dealers!"},
      {{"write", "--port", path("no-such-tty"), path("w.dat")}, 1, "Write Failed"},
      {{"write", "--port", odd.device(), path("missing.dat")}, 1, "Wrong file type!"},
      {{"read"}, 2, "--port is required"},
      {{"read", "--port", "17"}, 2, "port number 1 to 16"},
      {{"read", "--port", "1", "--range", "12-34"}, 2, "--range"},
      {{"read", "--port", "1", "--bogus"}, 2, "unknown option"},
      {{"write", "--port", "1"}, 2, "either a data file"},
      {{"write", "--port", "1", path("w.dat"), "--raw", path("w.dat")}, 2, "either a data file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.join(u' ').toStdString());
    const CliRun r = run(c.args);
    EXPECT_EQ(r.exitCode, c.exit) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(c.errorText)) << r.err.toStdString();
  }
  EXPECT_FALSE(QFile::exists(path("x.bin")));
  const CliRun help = cli({QStringLiteral("read"), QStringLiteral("--help")});
  EXPECT_EQ(help.exitCode, 0);
}

}  // namespace
}  // namespace zr
