// zr417-cli set and the settings of show --json, run as a process.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/CliRunner.h"

namespace {

using zr::testing::CliResult;
const auto cli = zr::testing::runCli;

using zr::testing::readBytes;

TEST(SetCommand, WritesThroughTheFieldsAndShowReadsThemBack) {
  QTemporaryDir dir;
  const QString out = dir.filePath("out.dat");
  const CliResult r = cli({"set", ZR_BIN_DIR "/dhcpqec.def", "--out", out, "cboSaveMode=1 - 2", "chkBeep=off",
                           "cboTot=#2"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QByteArray bytes = readBytes(out);
  ASSERT_EQ(bytes.size(), 1040);
  EXPECT_EQ(static_cast<unsigned char>(bytes[0x0369 + 16]), 144);

  const CliResult show = cli({"show", out, "--json"});
  ASSERT_EQ(show.exitCode, 0) << show.err.toStdString();
  const QJsonObject settings = QJsonDocument::fromJson(show.out.toUtf8()).object()["settings"].toObject();
  EXPECT_EQ(settings["cboSaveMode"].toObject()["text"].toString(), "1 - 2");
  EXPECT_FALSE(settings["chkBeep"].toObject()["checked"].toBool());
  EXPECT_EQ(settings["cboTot"].toObject()["position"].toInt(), 2);
  EXPECT_TRUE(settings.contains("cboVoxCmpDat(1)"));
  const QJsonObject root = QJsonDocument::fromJson(show.out.toUtf8()).object();
  ASSERT_EQ(root["two_tone"].toArray().size(), 16);
  EXPECT_EQ(root["two_tone"].toArray()[0].toArray().size(), 5);
  ASSERT_EQ(root["ptt_id_pause"].toArray().size(), 16);
  EXPECT_TRUE(root["ptt_id_pause"].toArray()[0].isBool());
}

TEST(SetCommand, UnknownFieldsAndValuesWriteNothing) {
  QTemporaryDir dir;
  const QString out = dir.filePath("out.dat");
  for (const QStringList& assignment : {QStringList{"cboNope=1"}, QStringList{"cboSaveMode=1 - 99"},
                                        QStringList{"chkBeep=maybe"}, QStringList{"cboTot=#999"}}) {
    const CliResult r = cli(QStringList{"set", ZR_BIN_DIR "/dhcpqec.def", "--out", out} + assignment);
    EXPECT_EQ(r.exitCode, 2) << assignment.join(' ').toStdString();
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_FALSE(QFile::exists(out));
  }
  EXPECT_EQ(cli({"set", ZR_BIN_DIR "/dhcpqec.def"}).exitCode, 2);
}

}  // namespace
