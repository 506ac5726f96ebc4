// zr417-cli new, set model=/band=, the warning for a disabled field and list
// texts beginning with "#".
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/CliRunner.h"

namespace {

using zr::testing::CliResult;
const auto cli = zr::testing::runCli;

QJsonObject showJson(const QString& path) {
  const CliResult r = cli({"show", path, "--json"});
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  return QJsonDocument::fromJson(r.out.toUtf8()).object();
}

using zr::testing::readBytes;

TEST(NewCommand, ChoosesTheRangeAsTheListWould) {
  QTemporaryDir dir;
  struct Case {
    QStringList options;
    int position;  // of the range list
    int min, max;  // 10 Hz units
  };
  const Case cases[] = {
      {{}, 12, 40000000, 52000000},
      {{"--band", "136 - 174 MHz"}, 1, 13600000, 17400000},
      {{"--band=136-174mhz"}, 1, 13600000, 17400000},
      {{"--band", "#7"}, 7, 40000000, 47000000},
      {{"--band", "136-174"}, 1, 13600000, 17400000},  // a listed pair picks its entry
      {{"--band", "144.5-146"}, 14, 14450000, 14600000},
      {{"--band", "400 - 470 mhz", "--model", "zr-417"}, 7, 40000000, 47000000},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options.join(' ').toStdString());
    const QString out = dir.filePath(QStringLiteral("n%1.dat").arg(++n));
    const CliResult r = cli(QStringList{"new", out} + c.options);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(readBytes(out).size(), 1040);
    const QJsonObject band = showJson(out)["band"].toObject();
    EXPECT_EQ(band["position"].toInt(), c.position);
    EXPECT_EQ(band["min"].toInt(), c.min);
    EXPECT_EQ(band["max"].toInt(), c.max);
    // Every channel of a new file is empty.
    EXPECT_EQ(showJson(out)["channels"].toArray().at(0).toObject()["rx"].toInt(), -1);
  }
}

TEST(NewCommand, RefusesWhatItCannotDo) {
  QTemporaryDir dir;
  const QString existing = dir.filePath("x.dat");
  ASSERT_EQ(cli({"new", existing}).exitCode, 0);
  const QByteArray before = readBytes(existing);
  struct Case {
    QStringList args;
    int exit;
    QString message;
  };
  const Case cases[] = {
      {{"new", existing, "--band", "136 - 174 MHz"}, 1, "exists; nothing was written (--force replaces it)"},
      {{"new", dir.filePath("a.dat"), "--band", "100-200"}, 2, "a custom range lies between 120 and 520 MHz"},
      {{"new", dir.filePath("a.dat"), "--band", "174-136"}, 2, "LOW not above HIGH"},
      {{"new", dir.filePath("a.dat"), "--band", "#14"}, 2, "LOW-HIGH in MHz"},
      {{"new", dir.filePath("a.dat"), "--band", "#15"}, 2, "the range list has no position #15"},
      {{"new", dir.filePath("a.dat"), "--band", "VHF"}, 2, "\"VHF\" is not a range of the list"},
      {{"new", dir.filePath("a.dat"), "--model", "ZR-999"}, 2, "\"ZR-999\" is not a model of the list (ZR-417)"},
      {{"new"}, 2, "missing OUT.dat"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.join(' ').toStdString());
    const CliResult r = cli(c.args);
    EXPECT_EQ(r.exitCode, c.exit);
    EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
  }
  EXPECT_FALSE(QFile::exists(dir.filePath("a.dat")));
  EXPECT_EQ(readBytes(existing), before);
  EXPECT_EQ(cli({"new", existing, "--force", "--band", "#1"}).exitCode, 0);
  EXPECT_EQ(showJson(existing)["band"].toObject()["position"].toInt(), 1);
}

TEST(SetCommand, ModelAndBandApplyAsTheListsDo) {
  QTemporaryDir dir;
  const QString dat = dir.filePath("a.dat");
  ASSERT_EQ(cli({"new", dat, "--band", "#1"}).exitCode, 0);
  ASSERT_EQ(cli({"set", dat, "chkBeep=off"}).exitCode, 0);
  // A range starts a new data set: the earlier change is gone, later ones stay.
  const CliResult r = cli({"set", dat, "chkTailDel=off", "band=400-480", "model=#0", "cboTot=#2"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("starts a new data set")) << r.err.toStdString();
  const QJsonObject root = showJson(dat);  // saved in place, not to the new-file path
  EXPECT_EQ(root["band"].toObject()["position"].toInt(), 8);
  const QJsonObject settings = root["settings"].toObject();
  EXPECT_TRUE(settings["chkBeep"].toObject()["checked"].toBool());
  EXPECT_EQ(settings["cboTot"].toObject()["position"].toInt(), 2);
  EXPECT_EQ(cli({"set", dat, "band=nowhere"}).exitCode, 2);
}

TEST(SetCommand, DisabledFieldsWarnAndHashTextsAreTexts) {
  QTemporaryDir dir;
  const QString dat = dir.filePath("a.dat");
  ASSERT_EQ(cli({"new", dat}).exitCode, 0);
  struct Case {
    QStringList assignments;
    QString warning;  // empty: none
  };
  const Case cases[] = {
      {{"chkBatSave=on", "cboSaveMode=1 - 2"}, ""},
      {{"chkBatSave=off", "cboSaveMode=1 - 3"},
       "zr417-cli set: warning: cboSaveMode is disabled on its page while chkBatSave is off (chkBatSave enables "
       "it); the value is stored anyway"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.assignments.join(' ').toStdString());
    const CliResult r = cli(QStringList{"set", dat} + c.assignments);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err.trimmed(), c.warning);
  }
  const QJsonObject settings = showJson(dat)["settings"].toObject();
  EXPECT_EQ(settings["cboSaveMode"].toObject()["text"].toString(), "1 - 3");  // stored all the same

  // "#" alone is the entry "#"; "#" and digits a position.
  ASSERT_EQ(cli({"set", dat, "cboDtmfGrpCode=#"}).exitCode, 0);
  EXPECT_EQ(showJson(dat)["settings"].toObject()["cboDtmfGrpCode"].toObject()["text"].toString(), "#");
  ASSERT_EQ(cli({"set", dat, "cboDtmfGrpCode=#2"}).exitCode, 0);
  EXPECT_EQ(showJson(dat)["settings"].toObject()["cboDtmfGrpCode"].toObject()["position"].toInt(), 2);
  const CliResult bad = cli({"set", dat, "cboDtmfGrpCode=#x"});
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_TRUE(bad.err.contains("\"#x\" is not an entry of cboDtmfGrpCode")) << bad.err.toStdString();
}

}  // namespace
