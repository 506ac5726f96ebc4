// The option parsing every zr417-cli command shares: both value forms, `--`,
// global options on either side of the command, help and version.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/CliRunner.h"

namespace {

using zr::testing::CliResult;
const auto cli = zr::testing::runCli;
const QString kDat = QStringLiteral(ZR_BIN_DIR "/DefRadioSet_VHF.def");

using zr::testing::readBytes;

TEST(CliParser, ValuesTakeEitherFormAndOptionsGoAnywhere) {
  QTemporaryDir dir;
  const QString out = dir.filePath("out.dat");
  const QStringList forms[] = {
      {"set", kDat, "--out", out, "cboTot=#2"},
      {"set", kDat, "--out=" + out, "cboTot=#2"},
      {"set", kDat, "cboTot=#2", "--out", out},
      {"set", "--out", out, "--", kDat, "cboTot=#2"},
  };
  QByteArray first;
  for (const QStringList& args : forms) {
    SCOPED_TRACE(args.join(' ').toStdString());
    QFile::remove(out);
    const CliResult r = cli(args);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QByteArray bytes = readBytes(out);
    ASSERT_EQ(bytes.size(), 1040);
    if (first.isEmpty()) first = bytes;
    EXPECT_EQ(bytes, first);
  }
  EXPECT_NE(first, readBytes(kDat));
}

TEST(CliParser, DoubleDashEndsTheOptions) {
  // After "--" a word that looks like an option is a file name.
  const CliResult json = cli({"show", kDat, "--", "--json"});
  EXPECT_EQ(json.exitCode, 2);
  EXPECT_TRUE(json.err.contains("only one file")) << json.err.toStdString();
  const CliResult plain = cli({"show", "--", kDat});
  EXPECT_EQ(plain.exitCode, 0) << plain.err.toStdString();
  EXPECT_TRUE(plain.out.startsWith("File: ")) << plain.out.toStdString();
}

TEST(CliParser, GlobalOptionsBeforeOrAfterTheCommand) {
  // A configuration with 8 channels in the grid: show follows it.
  QTemporaryDir dir;
  const QString config = dir.filePath("kelvane.def");
  QByteArray text = readBytes(ZR_BIN_DIR "/kelvane.def");
  ASSERT_TRUE(text.contains("\n3000=16"));
  text.replace("\n3000=16", "\n3000=8");
  QFile f(config);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(text);
  f.close();
  const QStringList forms[] = {
      {"--config", config, "show", kDat, "--json"},
      {"--config=" + config, "show", kDat, "--json"},
      {"show", kDat, "--json", "--config", config},
      {"show", "--config=" + config, kDat, "--json"},
  };
  for (const QStringList& args : forms) {
    SCOPED_TRACE(args.join(' ').toStdString());
    const CliResult r = cli(args);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject root = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(root["channels"].toArray().size(), 8);
  }
  EXPECT_EQ(readBytes(config), text);  // never rewritten
}

TEST(CliParser, HelpAndVersionOnEveryCommand) {
  for (const char* command : {"show", "set", "channels", "read", "write", "simulate"}) {
    SCOPED_TRACE(command);
    for (const QStringList& args : {QStringList{command, "--help"}, QStringList{"--help", command},
                                    QStringList{command, "-h"}}) {
      const CliResult r = cli(args);
      EXPECT_EQ(r.exitCode, 0);
      EXPECT_TRUE(r.out.startsWith(QStringLiteral("Usage: zr417-cli %1").arg(command))) << r.out.toStdString();
      EXPECT_TRUE(r.out.contains("--config")) << r.out.toStdString();
      EXPECT_TRUE(r.err.isEmpty());
    }
    const CliResult v = cli({command, "--version"});
    EXPECT_EQ(v.exitCode, 0);
    EXPECT_TRUE(v.out.startsWith("zr417-cli ")) << v.out.toStdString();
  }
  const CliResult top = cli({"--help"});
  EXPECT_EQ(top.exitCode, 0);
  EXPECT_TRUE(top.out.startsWith("Usage: zr417-cli")) << top.out.toStdString();
  EXPECT_EQ(cli({"--version"}).exitCode, 0);
}

TEST(CliParser, UsageErrorsNameTheProblem) {
  struct Case {
    QStringList args;
    QString message;
  };
  const Case cases[] = {
      {{}, "Usage: zr417-cli"},
      {{"frobnicate"}, "zr417-cli: unknown command 'frobnicate'"},
      {{"--frobnicate", "show"}, "zr417-cli: unknown option '--frobnicate'"},
      {{"show", kDat, "--frobnicate"}, "zr417-cli show: unknown option '--frobnicate'"},
      {{"show", kDat, "--json=yes"}, "zr417-cli show: unexpected value after '--json'"},
      {{"set", kDat, "cboTot=#2", "--out"}, "zr417-cli set: missing value after '--out'"},
      {{"show", kDat, "--config"}, "zr417-cli show: missing value after '--config'"},
      {{"set", kDat, "cboTot"}, "not an assignment FIELD=VALUE: cboTot"},
      {{"channels", kDat, "--out", "x.dat", "--export", "x.csv"}, "--out goes with --import"},
      {{"simulate", "extra"}, "unexpected argument 'extra'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.join(' ').toStdString());
    const CliResult r = cli(c.args);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
  }
}

}  // namespace

// The top-level help, every command's help and the manual page name the same
// commands and options, and -v is --version.
TEST(CliParser, HelpAndManualPageAgree) {
  const CliResult top = cli({"--help"});
  ASSERT_EQ(top.exitCode, 0);
  EXPECT_EQ(cli({"-v"}).out, cli({"--version"}).out);
  EXPECT_EQ(cli({"-v"}).exitCode, 0);
  // The page as the build writes it from its template and the table of commands.
  const QString man = QString::fromUtf8(readBytes(ZR_BIN_DIR "/../man/zr417-cli.1"));
  ASSERT_FALSE(man.isEmpty());
  QStringList commands;
  bool inCommands = false;
  for (const QString& line : top.out.split('\n')) {
    if (line == "Commands:") inCommands = true;
    else if (line.isEmpty()) inCommands = false;
    else if (inCommands && line.startsWith("  ") && line[2].isLower()) commands << line.mid(2).section(' ', 0, 0);
  }
  commands.removeDuplicates();
  for (const char* expected : {"show", "new", "set", "channels", "diff", "ports", "read", "write", "simulate"})
    EXPECT_TRUE(commands.contains(expected)) << expected;
  EXPECT_TRUE(top.out.contains("[--verify]")) << top.out.toStdString();
  static const QRegularExpression option(QStringLiteral("--[a-z][a-z-]*"));
  for (const QString& command : commands) {
    SCOPED_TRACE(command.toStdString());
    EXPECT_TRUE(man.contains(QStringLiteral("\n\\fB%1\\fR").arg(command)));
    const CliResult help = cli({command, "--help"});
    ASSERT_EQ(help.exitCode, 0);
    for (auto it = option.globalMatch(help.out); it.hasNext();) {
      const QString name = it.next().captured();
      EXPECT_TRUE(man.contains(QString(name).replace("-", "\\-"))) << name.toStdString();
    }
  }
}
