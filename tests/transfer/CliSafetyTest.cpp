// zr417-cli against `zr417-cli simulate` with its faults: the backup copy of
// a read, write --verify, the write report, and a radio that drops requests.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <signal.h>

#include "transfer/TransferRig.h"
#include "support/CliRunner.h"

namespace zr {
namespace {

const QString kCli = QStringLiteral(ZR_BIN_DIR "/zr417-cli");

struct CliRun {
  int exitCode = -1;
  QString err;
};

using SimProcess = testing::SimulatedRadio;

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class CliSafety : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    config = dir.filePath(QStringLiteral("kelvane.def"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZR_BIN_DIR "/kelvane.def"), config));
    const ByteArray f = test::factoryImage();
    radio.resize(RadioSimulator::kMemorySize);
    for (int a = 0; a < radio.size(); ++a) radio[a] = static_cast<char>(a < kImageSpan ? f.at(a) : (a * 7 + 3) & 0xFF);
    for (int k = 0; k < 16; ++k) radio[0x10 + k] = static_cast<char>(test::kChannel1[static_cast<size_t>(k)]);
    radio[0x0388] = 0x5A;
    radio[0x0389] = 0x24;
    radio[0x038A] = 0x29;
    radio[0x03D4] = static_cast<char>(RadioSimulator::kDefaultModelCode);
    QFile out(path("radio.bin"));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(radio);
  }
  QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
  CliRun run(const QStringList& args) {
    QProcess p;
    p.start(kCli, QStringList{QStringLiteral("--config"), config} + args);
    if (!p.waitForFinished(120000)) {
      p.kill();
      p.waitForFinished();
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError())};
  }
  static QString backupPath(const QString& err) {
    for (const QString& line : err.split(u'\n'))
      if (line.startsWith(QStringLiteral("Backup: "))) return line.mid(8).trimmed();
    return {};
  }

  QTemporaryDir dir;
  QString config;
  QByteArray radio;
};

TEST_F(CliSafety, AReadWithoutOutputFilesStillKeepsACopyAndNamesIt) {
  SimProcess sim({QStringLiteral("--image"), path("radio.bin")});
  ASSERT_FALSE(sim.device().isEmpty());
  const CliRun r = run({QStringLiteral("read"), QStringLiteral("--port"), sim.device()});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QString copy = backupPath(r.err);
  ASSERT_FALSE(copy.isEmpty()) << r.err.toStdString();
  EXPECT_EQ(readAll(copy), radio);
  QFile::remove(copy);
  QFile::remove(copy.chopped(4) + QStringLiteral(".dat"));
}

TEST_F(CliSafety, WriteVerifyPassesOnTheSimulatorAndFailsWhenItIgnoresWrites) {
  // A data file whose channel 1 has VOX off: the write reports the change.
  const QByteArray dat = readAll(QStringLiteral(ZR_BIN_DIR "/dhcpqec.def")).left(kDataFileSize);
  QByteArray file = dat;
  for (int k = 0; k < 16; ++k) file[0x20 + k] = static_cast<char>(test::kChannel1[static_cast<size_t>(k)]);
  QFile f(path("mine.dat"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(file);
  f.close();

  {
    SimProcess sim;
    const CliRun r = run({QStringLiteral("write"), QStringLiteral("--port"), sim.device(), QStringLiteral("--verify"),
                       path("mine.dat")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Verify OK"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Channel 1, VOX: Off -> On"))) << r.err.toStdString();
    const QString copy = backupPath(r.err);
    EXPECT_TRUE(copy.contains(QStringLiteral("_write_"))) << r.err.toStdString();
    QFile::remove(copy);
    QFile::remove(copy.chopped(4) + QStringLiteral(".dat"));
  }
  {
    SimProcess sim({QStringLiteral("--ignore-writes")});
    const CliRun r = run({QStringLiteral("write"), QStringLiteral("--port"), sim.device(), QStringLiteral("--verify"),
                       path("mine.dat")});
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Verify failed"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("first at 0x0"))) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(QStringLiteral("Verify OK")));
    const QString copy = backupPath(r.err);
    QFile::remove(copy);
    QFile::remove(copy.chopped(4) + QStringLiteral(".dat"));
  }
}

TEST_F(CliSafety, ARadioThatMissesAFewRequestsIsStillReadWhole) {
  SimProcess sim({QStringLiteral("--image"), path("radio.bin"), QStringLiteral("--fail-after"), QStringLiteral("40"),
                  QStringLiteral("--fail-for"), QStringLiteral("2")});
  const CliRun r = run({QStringLiteral("read"), QStringLiteral("--port"), sim.device(), QStringLiteral("--range"),
                     QStringLiteral("0000-03FF"), QStringLiteral("--raw"), path("a.bin")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(readAll(path("a.bin")).left(0x0400), radio.left(0x0400));
  QFile::remove(backupPath(r.err));
}

// Every failed write tells on stderr the system's text, then for a partly
// written radio how far it got, then the cause.
TEST_F(CliSafety, AFailedWriteSaysWhyAndHowMuchTheRadioTook) {
  const QRegularExpression partly(QStringLiteral(
      "The radio was partly written \\((\\d+) of (\\d+) blocks, up to address [0-9A-F]{4}\\); write it again before using it\\."));
  struct Case {
    const char* name;
    QStringList simArgs;
    QString cause;
    bool partlyWritten;
  };
  const Case cases[] = {
      {"silent radio", {QStringLiteral("--silent")}, QStringLiteral("No answer from the radio: is it switched on and the cable in?"), false},
      {"stops after 30 requests", {QStringLiteral("--fail-after"), QStringLiteral("30")},
       QStringLiteral("Rx：Communication failed! No receive Data! The radio stopped answering at block"), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimProcess sim(QStringList{QStringLiteral("--image"), path("radio.bin")} + c.simArgs);
    const CliRun r = run({QStringLiteral("write"), QStringLiteral("--port"), sim.device(), QStringLiteral("--range"),
                          QStringLiteral("0000-03FF"), QStringLiteral("--raw"), path("radio.bin")});
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Communication failed,please check commuication port!"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Write Failed"))) << r.err.toStdString();
    // The system's text comes first.
    EXPECT_LT(r.err.indexOf(QStringLiteral("Communication failed,please")), r.err.indexOf(c.cause));
    EXPECT_TRUE(r.err.contains(c.cause)) << r.err.toStdString();
    const auto m = partly.match(r.err);
    EXPECT_EQ(m.hasMatch(), c.partlyWritten) << r.err.toStdString();
    if (m.hasMatch()) {
      EXPECT_GT(m.captured(1).toInt(), 0);
      EXPECT_LT(m.captured(1).toInt(), m.captured(2).toInt());
      // The partly written line comes before the cause.
      EXPECT_LT(r.err.indexOf(m.captured(0)), r.err.indexOf(c.cause));
      QFile::remove(backupPath(r.err));
    }
  }
}

// The radio's line vanishes while a write runs (the simulator's pseudo-terminal
// closes, as a pulled USB cable does): the write ends at once with that cause,
// not after twenty silent retries.
TEST_F(CliSafety, APulledCableEndsTheWriteWithItsCause) {
  // Paced as a real line, so that the write is still running when the line goes.
  auto sim = std::make_unique<SimProcess>(QStringList{QStringLiteral("--image"), path("radio.bin"), QStringLiteral("--paced")});
  QProcess cli;
  cli.start(kCli, {QStringLiteral("--config"), config, QStringLiteral("write"), QStringLiteral("--port"), sim->device(),
                   QStringLiteral("--range"), QStringLiteral("0000-03FF"), QStringLiteral("--raw"), path("radio.bin")});
  cli.setReadChannel(QProcess::StandardError);  // progress goes to stderr
  ASSERT_TRUE(cli.waitForStarted(5000));
  QByteArray err;
  while (!err.contains("write: 20 %") && cli.state() != QProcess::NotRunning && cli.waitForReadyRead(60000))
    err += cli.readAllStandardError();
  ASSERT_TRUE(err.contains("write: 20 %")) << err.toStdString();
  sim.reset();  // the line goes away
  ASSERT_TRUE(cli.waitForFinished(60000));
  err += cli.readAllStandardError();
  const QString text = QString::fromUtf8(err);
  EXPECT_EQ(cli.exitCode(), 1) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("went away"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("The radio was partly written ("))) << text.toStdString();
  EXPECT_FALSE(text.contains(QStringLiteral("stopped answering"))) << text.toStdString();
  QFile::remove(backupPath(text));
}

}  // namespace
}  // namespace zr
