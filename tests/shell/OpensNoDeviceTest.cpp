// Start-up and the port list must not open serial devices: opening a serial
// port raises its control lines, which resets many microcontroller boards and
// 3D printers, and the device may be somebody else's. The programs run under
// strace here, with a configured port that does not exist, so that the old
// probing (open every numbered port to see which opens) would show.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The serial devices the traced program opened, from strace's log.
QStringList serialOpens(const QString& log) {
  QFile f(log);
  if (!f.open(QIODevice::ReadOnly)) return {QStringLiteral("(no strace log)")};
  static const QRegularExpression open(QStringLiteral("open(at)?\\(.*\"(/dev/tty(S|USB|ACM|AMA)[0-9]+)\""));
  QStringList out;
  for (const QByteArray& line : f.readAll().split('\n')) {
    const auto m = open.match(QString::fromUtf8(line));
    if (m.hasMatch()) out << m.captured(2);
  }
  return out;
}

TEST(OpensNoDevice, StartUpAndThePortListLeaveSerialDevicesAlone) {
  const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
  if (strace.isEmpty()) GTEST_SKIP() << "strace is not installed: the opens were not traced";
  QProcess probe;
  probe.start(strace, {QStringLiteral("-o"), QStringLiteral("/dev/null"), QStringLiteral("true")});
  if (!probe.waitForFinished(30000) || probe.exitCode() != 0) GTEST_SKIP() << "strace cannot trace here (ptrace refused)";

  // A portable copy of the program whose configured port has no device.
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (const char* name : {"zr417-cps", "zr417-cli", "kelvane.def", "dhcpqec.def", "DefRadioSet_VHF.def",
                           "DefRadioSet_UHF.def"})
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZR_BIN_DIR "/") + QLatin1String(name), dir.filePath(QLatin1String(name))));
  QFile::setPermissions(dir.filePath("kelvane.def"), QFile::ReadOwner | QFile::WriteOwner);
  QDir(dir.path()).mkdir(QStringLiteral("Data"));
  {
    QFile ini(dir.filePath("kelvane.def"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    QString text = QString::fromLatin1(ini.readAll());
    ini.close();
    text.replace(QRegularExpression(QStringLiteral("\nCOM=[0-9]+")), QStringLiteral("\nCOM=16"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ini.write(text.toLatin1());
  }

  const QString cliLog = dir.filePath("cli.trace");
  QProcess cli;
  cli.start(strace, {"-f", "-e", "trace=open,openat", "-o", cliLog, dir.filePath("zr417-cli"), "ports"});
  ASSERT_TRUE(cli.waitForFinished(60000));
  EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
  EXPECT_EQ(serialOpens(cliLog), QStringList());

  // The desktop program is given a few seconds to start up (port check,
  // first window), then ended by timeout(1) inside the trace, so that nothing
  // outlives the test.
  const QString guiLog = dir.filePath("gui.trace");
  QProcess gui;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  gui.setProcessEnvironment(env);
  gui.start(strace, {"-f", "-e", "trace=open,openat", "-o", guiLog, "timeout", "-s", "KILL", "4", dir.filePath("zr417-cps")});
  ASSERT_TRUE(gui.waitForFinished(60000));
  QFile log(guiLog);
  ASSERT_TRUE(log.open(QIODevice::ReadOnly));
  EXPECT_TRUE(log.readAll().contains("kelvane.def")) << "the program did not get as far as its configuration";
  EXPECT_EQ(serialOpens(guiLog), QStringList());
}

}  // namespace
