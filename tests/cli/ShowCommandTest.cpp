// zr417-cli show, run as a process on data files made in a temporary folder.
#include <QDir>
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

// A data file: the factory image with two channels written into it.
QString makeDataFile(const QTemporaryDir& dir) {
  QFile def(QStringLiteral(ZR_BIN_DIR "/dhcpqec.def"));
  EXPECT_TRUE(def.open(QIODevice::ReadOnly));
  QByteArray bytes = def.readAll();
  // Channel 1 at image 0x0010 = file offset 0x0020: 146.52000 MHz both ways,
  // decode 67.0 (0x029E), encode D023N (0x2813), high power, scan on, PTT ID BOTH.
  const unsigned char ch1[16] = {0x00, 0x20, 0x65, 0x14, 0x00, 0x20, 0x65, 0x14,
                                 0x9E, 0x02, 0x13, 0x28, 0x09, 0x10, 0x01, 0x00};
  // Channel 2: receive 446.00625 MHz, no transmit frequency, no tones.
  const unsigned char ch2[16] = {0x25, 0x06, 0x60, 0x44, 0xFF, 0xFF, 0xFF, 0xFF,
                                 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00};
  for (int k = 0; k < 16; ++k) {
    bytes[0x20 + k] = static_cast<char>(ch1[k]);
    bytes[0x30 + k] = static_cast<char>(ch2[k]);
  }
  // Channel bit word (image 0x017E): channel 1 wide, channel 2 narrow.
  bytes[0x017E + 16] = 0x01;
  bytes[0x017F + 16] = 0x00;
  const QString path = dir.filePath("two.dat");
  QFile out(path);
  EXPECT_TRUE(out.open(QIODevice::WriteOnly));
  out.write(bytes);
  return path;
}

TEST(ShowCommand, DecodesChannelsAsJson) {
  QTemporaryDir dir;
  const CliResult r = cli({"show", makeDataFile(dir), "--json"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QJsonArray channels = QJsonDocument::fromJson(r.out.toUtf8()).object()["channels"].toArray();
  ASSERT_EQ(channels.size(), 16);
  const QJsonObject c1 = channels[0].toObject();
  EXPECT_EQ(c1["rx"].toInt(), 14652000);
  EXPECT_EQ(c1["tx"].toInt(), 14652000);
  EXPECT_EQ(c1["decode"].toString(), "67.0");
  EXPECT_EQ(c1["encode"].toString(), "D023N");
  const QJsonObject o1 = c1["options"].toObject();
  EXPECT_EQ(o1["5"].toObject()["text"].toString(), "High");
  EXPECT_EQ(o1["6"].toObject()["text"].toString(), "Wide");
  EXPECT_EQ(o1["7"].toObject()["text"].toString(), "On");
  EXPECT_EQ(o1["10"].toObject()["value"].toInt(), 3);
  EXPECT_EQ(o1["10"].toObject()["text"].toString(), "BOTH");
  const QJsonObject c2 = channels[1].toObject();
  EXPECT_EQ(c2["rx"].toInt(), 44600625);
  EXPECT_EQ(c2["tx"].toInt(), -1);
  // Beside each integer in 10 Hz units, the text the grid shows (empty for none).
  EXPECT_EQ(c1["rx_mhz"].toString(), "146.52000");
  EXPECT_EQ(c2["rx_mhz"].toString(), "446.00625");
  EXPECT_EQ(c2["tx_mhz"].toString(), "");
  EXPECT_EQ(channels[2].toObject()["rx_mhz"].toString(), "");
  EXPECT_EQ(QJsonDocument::fromJson(r.out.toUtf8()).object()["format"].toInt(), 1);
  EXPECT_EQ(c2["decode"].toString(), "None");
  EXPECT_EQ(c2["options"].toObject()["6"].toObject()["text"].toString(), "Narrow");
  EXPECT_EQ(channels[2].toObject()["rx"].toInt(), -1);
}

TEST(ShowCommand, PrintsAReadableTable) {
  QTemporaryDir dir;
  const CliResult r = cli({"show", makeDataFile(dir)});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QStringList lines = r.out.split('\n');
  ASSERT_GE(lines.size(), 5);
  EXPECT_EQ(lines[1], "Model: ZR-417   Band: 400 - 520 MHz");
  EXPECT_TRUE(lines[2].startsWith("CH")) << lines[2].toStdString();
  EXPECT_TRUE(lines[3].contains("146.52000") && lines[3].contains("D023N") && lines[3].contains("BOTH"))
      << lines[3].toStdString();
  EXPECT_TRUE(lines[4].contains("446.00625")) << lines[4].toStdString();
}

TEST(ShowCommand, FailuresAndUsageGiveTheirExitCodes) {
  QTemporaryDir dir;
  const CliResult missing = cli({"show", dir.filePath("nothing.dat")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_TRUE(missing.err.contains("Wrong file type!")) << missing.err.toStdString();
  EXPECT_TRUE(missing.out.isEmpty());

  EXPECT_EQ(cli({"show"}).exitCode, 2);
  EXPECT_EQ(cli({"show", "a.dat", "--frobnicate"}).exitCode, 2);
  EXPECT_EQ(cli({"frobnicate"}).exitCode, 2);
  EXPECT_EQ(cli({"--help"}).exitCode, 0);
  EXPECT_EQ(cli({"show", "--help"}).exitCode, 0);
}

}  // namespace
