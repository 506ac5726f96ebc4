// What zr417-cli refuses before it touches a radio, and how it words
// failures: data file check of write, address ranges, plain messages with
// their causes, the error log only with --verbose.
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/CliRunner.h"

namespace {

using zr::testing::CliResult;
const auto cli = zr::testing::runCli;

using zr::testing::readBytes;

void writeBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

// The port named in these cases never exists: a command that gets past its
// checks fails on the port ("Write Failed"), one refused before does not.
class CliSafety : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    noPort = dir.filePath("no-such-tty");
    good = readBytes(ZR_BIN_DIR "/DefRadioSet_VHF.def");
    ASSERT_EQ(good.size(), 1040);
  }
  QString file(const char* name, const QByteArray& bytes) {
    const QString path = dir.filePath(QLatin1String(name));
    writeBytes(path, bytes);
    return path;
  }
  QTemporaryDir dir;
  QString noPort;
  QByteArray good;
};

TEST_F(CliSafety, WriteRefusesWhatIsNotADataFileUnlessForced) {
  QByteArray badSignature = good;
  badSignature[0] = 'X';
  struct Case {
    const char* name;
    QByteArray bytes;
    QString refusal;  // empty: the file is a data file
  };
  const Case cases[] = {
      {"short.dat", good.left(1039), "it has 1039 bytes, a data file has 1040"},
      {"long.dat", good + QByteArray(1, '\0'), "it has 1041 bytes, a data file has 1040"},
      {"raw.dat", good + QByteArray(8192 - 1040, '\xFF'), "it has 8192 bytes"},
      {"empty.dat", QByteArray(), "it has 0 bytes"},
      {"signature.dat", badSignature, "it does not begin with the data file signature KV6183"},
      {"good.dat", good, QString()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = file(c.name, c.bytes);
    const CliResult r = cli({"write", "--port", noPort, path});
    EXPECT_EQ(r.exitCode, 1);
    if (c.refusal.isEmpty()) {
      EXPECT_FALSE(r.err.contains("is not a data file")) << r.err.toStdString();
      EXPECT_TRUE(r.err.contains("Write Failed")) << r.err.toStdString();
    } else {
      EXPECT_TRUE(r.err.contains(path + " is not a data file: " + c.refusal)) << r.err.toStdString();
      EXPECT_FALSE(r.err.contains("Write Failed")) << r.err.toStdString();
      // --force goes on to the port.
      const CliResult forced = cli({"write", "--force", "--port", noPort, path});
      EXPECT_EQ(forced.exitCode, 1);
      EXPECT_TRUE(forced.err.contains("Write Failed")) << forced.err.toStdString();
    }
  }
}

TEST_F(CliSafety, RangesMustRunForwardInsideTheImage) {
  const QString dat = file("good.dat", good);
  struct Case {
    QString range;
    int exit;
    QString message;
  };
  // The shipped configuration's image ends at 1FFF.
  const Case cases[] = {
      {"0010-0000", 2, "--range 0010-0000 starts above its end"},
      {"0400-03FF", 2, "starts above its end"},
      {"0000-2000", 2, "--range 0000-2000 ends past the image, which ends at 1FFF"},
      {"1FF0-FFFF", 2, "ends past the image"},
      {"0000-1FFF", 1, "Failed"},  // accepted: fails on the missing port
      {"0100-0100", 1, "Failed"},
  };
  for (const Case& c : cases) {
    for (const QStringList& args : {QStringList{"read", "--port", noPort, "--range", c.range},
                                    QStringList{"write", "--port", noPort, "--range", c.range, dat}}) {
      SCOPED_TRACE(args.join(' ').toStdString());
      const CliResult r = cli(args);
      EXPECT_EQ(r.exitCode, c.exit) << r.err.toStdString();
      EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
    }
  }
}

TEST_F(CliSafety, FailuresAreOnePlainLineAndTheLogOnlyWithVerbose) {
  const QString missing = dir.filePath("missing.dat");
  const CliResult plain = cli({"show", missing});
  EXPECT_EQ(plain.exitCode, 1);
  EXPECT_EQ(plain.err, "Wrong file type! " + missing + ": no such file\n");

  const CliResult verbose = cli({"show", missing, "--verbose"});
  EXPECT_EQ(verbose.exitCode, 1);
  EXPECT_TRUE(verbose.err.contains("mdifrmMain->OpenFile")) << verbose.err.toStdString();
  EXPECT_TRUE(verbose.err.contains("cause: " + missing + ": no such file")) << verbose.err.toStdString();
  EXPECT_TRUE(verbose.err.contains("Wrong file type! " + missing)) << verbose.err.toStdString();

  // A save that fails names the file and the cause.
  const QString nowhere = dir.filePath("no-folder/out.dat");
  const CliResult save = cli({"set", file("good.dat", good), "--out", nowhere, "chkBeep=off"});
  EXPECT_EQ(save.exitCode, 1);
  EXPECT_TRUE(save.err.startsWith("zr417-cli set: Save file failed! " + nowhere + ": ")) << save.err.toStdString();
  EXPECT_EQ(save.err.count('\n'), 1) << save.err.toStdString();

  // A port that does not exist: the status text, then the port and its cause.
  const CliResult port = cli({"read", "--port", noPort});
  EXPECT_EQ(port.exitCode, 1);
  EXPECT_EQ(port.err, "Read Failed: Communication failed,please check commuication port!\n"
                      "zr417-cli read: cannot open " + noPort + ": no such device; is the cable plugged in?\n");
}

TEST_F(CliSafety, SearchGoesOnlyWithAPortNumber) {
  const CliResult r = cli({"read", "--port", noPort, "--search"});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_TRUE(r.err.contains("--search goes with a port number")) << r.err.toStdString();
}

}  // namespace
