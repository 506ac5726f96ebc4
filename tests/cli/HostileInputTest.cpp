// What zr417-cli does with files that are not what a command expects: a raw
// image or a text file given to a command that would rewrite it as a data
// file, a FIFO or a device that could block it for ever, names it cannot keep,
// an output that cannot be written. Each is refused with its reason, never
// waited on and never turned into a different file.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "support/CliRunner.h"

namespace {

using zr::testing::CliResult;
const auto cli = zr::testing::runCli;

using zr::testing::readBytes;

// Runs a shell line with $CLI set to the program, for what QProcess cannot
// pass (bytes that are not UTF-8, a redirection to /dev/full).
CliResult sh(const QString& line) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  // Absolute: the shell lines may change folder first.
  env.insert(QStringLiteral("CLI"), QFileInfo(QStringLiteral(ZR_BIN_DIR "/zr417-cli")).absoluteFilePath());
  p.setProcessEnvironment(env);
  p.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), line});
  p.waitForFinished(60000);
  return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

class HostileInput : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    data = path("f.dat");
    ASSERT_EQ(cli({"new", data}).exitCode, 0);
    fifo = path("q");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  }
  QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
  QString file(const char* name, const QByteArray& bytes) const {
    QFile f(path(name));
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return f.fileName();
  }
  QTemporaryDir dir;
  QString data, fifo;
};

TEST_F(HostileInput, RefusesWithItsReasonAndTouchesNothing) {
  const QString raw = file("r.bin", QByteArray(8192, '\x5A'));
  const QString text = file("t.txt", "not a radio at all\n");
  const QString csv = file("in.csv", "Channel,Rx,Tx,Decode,Encode\n1,410.1,,,\n");
  // Larger than any channel list could be; sparse, so it costs no disk.
  const QString huge = path("huge.csv");
  {
    QFile f(huge);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(qint64(17) << 20));
  }
  struct Case {
    QStringList args;
    int exit;
    QString says;
  };
  const Case cases[] = {
      {{"set", raw, "chkBeep=on"}, 1, raw + " is not a data file: it has 8192 bytes"},
      {{"set", text, "chkBeep=on"}, 1, text + " is not a data file"},
      {{"set", data, "--out", raw, "chkBeep=on"}, 1, raw + " is not a data file"},
      {{"channels", raw, "--import", csv}, 1, raw + " is not a data file"},
      {{"show", fifo}, 1, fifo + " is a pipe (FIFO), not a file"},
      {{"set", data, "--out", fifo, "chkBeep=on"}, 1, fifo + " is a pipe (FIFO)"},
      {{"channels", data, "--export", fifo}, 1, fifo + " is a pipe (FIFO)"},
      {{"diff", data, fifo}, 2, fifo + " is a pipe (FIFO)"},
      {{"write", "--port", path("no-tty"), fifo}, 1, fifo + " is a pipe (FIFO)"},
      {{"show", dir.path()}, 1, dir.path() + " is a folder"},
      {{"channels", data, "--import", "/dev/zero"}, 1, "/dev/zero is a device"},
      {{"channels", data, "--import", huge}, 1, "larger than 16 MiB"},
      {{"show", ""}, 2, "no file name given"},
      {{"--config", path("none.def"), "show", data}, 1, "configuration file " + path("none.def") + ": no such file"},
      {{"read", "--port", path("no-tty"), "--out", path("x"), "--raw", path("x")}, 2, "--out and --raw name the same file"},
  };
  const QByteArray rawBefore = readBytes(raw), textBefore = readBytes(text), dataBefore = readBytes(data);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.join(' ').toStdString());
    const CliResult r = cli(c.args);  // a hang here would be the fault
    EXPECT_EQ(r.exitCode, c.exit) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(c.says)) << r.err.toStdString();
  }
  EXPECT_EQ(readBytes(raw), rawBefore);
  EXPECT_EQ(readBytes(text), textBefore);
  EXPECT_EQ(readBytes(data), dataBefore);
  EXPECT_FALSE(QFileInfo::exists(path("x")));

  // --force is the user saying so.
  EXPECT_EQ(cli({"set", text, "--force", "chkBeep=on"}).exitCode, 0);
  EXPECT_EQ(QFileInfo(text).size(), 1040);
}

TEST_F(HostileInput, OpensANonDataFileForReadingWithAWarning) {
  const QString raw = file("r.bin", QByteArray(8192, '\x5A'));
  for (const QStringList& args : {QStringList{"show", raw}, QStringList{"channels", raw, "--export", "-"}}) {
    const CliResult r = cli(args);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("warning: " + raw + " is not a data file")) << r.err.toStdString();
  }
}

TEST_F(HostileInput, ARangeThatWouldEmptyTheChannelsNeedsForce) {
  const QString csv = file("in.csv", "Channel,Rx,Tx,Decode,Encode\n1,410.1,,,\n2,420.2,,,\n");
  ASSERT_EQ(cli({"channels", data, "--import", csv}).exitCode, 0);
  const QByteArray before = readBytes(data);
  for (const char* assignment : {"band=144-148", "band=#0"}) {
    const CliResult r = cli({"set", data, assignment});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(data + " has 2 channels in use; band= starts a new data set; add --force"))
        << r.err.toStdString();
    EXPECT_EQ(readBytes(data), before);
  }
  EXPECT_EQ(cli({"set", data, "--force", "band=144-148"}).exitCode, 0);
  EXPECT_NE(readBytes(data), before);
}

TEST_F(HostileInput, NamesItCannotKeepAndOutputThatIsLost) {
  // \376 is no UTF-8: refused, and no file of a similar name is created.
  CliResult r = sh(QStringLiteral("cd '%1' && \"$CLI\" new \"$(printf 'n\\376.dat')\"").arg(dir.path()));
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_TRUE(r.err.contains("file names that are not valid UTF-8 are not supported; rename it")) << r.err.toStdString();
  EXPECT_EQ(QDir(dir.path()).entryList({"n*"}, QDir::Files).size(), 0);

  for (const QString& command : {QStringLiteral("show '%1' --json"), QStringLiteral("diff '%1' '%1'")}) {
    SCOPED_TRACE(command.toStdString());
    r = sh(QStringLiteral("\"$CLI\" ") + command.arg(data) + QStringLiteral(" > /dev/full"));
    if (command.startsWith("diff")) {
      EXPECT_EQ(r.exitCode, 0);  // equal files print nothing, so nothing is lost
    } else {
      EXPECT_EQ(r.exitCode, 1);
      EXPECT_TRUE(r.err.contains("cannot write output: No space left on device")) << r.err.toStdString();
    }
  }
}

// Two commands changing one file at the same time: each reads, changes and
// saves the whole file, so without the lock the later save drops the other's
// change. Both changes must be there after every round.
TEST_F(HostileInput, TwoSavesOfOneFileAtOnceKeepBothChanges) {
  const QString settings = QStringLiteral(
      "import json,sys; d=json.load(sys.stdin)['settings']; print(d['chkBeep']['checked'], d['cboTot']['position'])");
  for (int round = 0; round < 10; ++round) {
    SCOPED_TRACE(round);
    ASSERT_EQ(cli({"set", data, "chkBeep=off", "cboTot=#1"}).exitCode, 0);
    QProcess a, b;
    a.start(QStringLiteral(ZR_BIN_DIR "/zr417-cli"), {"set", data, "chkBeep=on"});
    b.start(QStringLiteral(ZR_BIN_DIR "/zr417-cli"), {"set", data, "cboTot=#3"});
    ASSERT_TRUE(a.waitForFinished(60000) && b.waitForFinished(60000));
    EXPECT_EQ(a.exitCode(), 0) << a.readAllStandardError().toStdString();
    EXPECT_EQ(b.exitCode(), 0) << b.readAllStandardError().toStdString();
    const CliResult r = sh(QStringLiteral("\"$CLI\" show '%1' --json | python3 -c \"%2\"").arg(data, settings));
    EXPECT_EQ(r.out.trimmed(), QStringLiteral("True 3"));
  }
}

}  // namespace
