// zr417-cli channels: CSV export and import through the grid's rules.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/CliRunner.h"

#include "editors/ChannelCsv.h"

namespace {

using zr::testing::CliResult;
const auto cli = zr::testing::runCli;

void writeText(const QString& path, const QByteArray& text) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(text);
}

QByteArray readText(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(ChannelsCommand, ImportEntersCellsAsTypedAndExportGivesThemBack) {
  QTemporaryDir dir;
  // The VHF default settings file: band 136-174 MHz, every channel empty.
  const QString dat = dir.filePath("radio.dat");
  ASSERT_TRUE(QFile::copy(ZR_BIN_DIR "/DefRadioSet_VHF.def", dat));
  writeText(dir.filePath("in.csv"),
            "Channel,Rx,Tx,Decode,Encode,Power,W/N,Scan,BCL,VOX,PTT ID\r\n"
            "1,146.5212,146.52,67.0,D023,Low,Narrow,Off,Carrier,On,BOT\r\n"
            "2,145.50000,,None,,High,Wide,On,Off,Off,Off\r\n"
            "3,600.00000,,xx,,Huge,,,,,\r\n"
            "4,abc,,,,,,,,,\r\n"
            "99,146.0,,,,,,,,,\r\n");
  const CliResult imp = cli({"channels", dat, "--import", dir.filePath("in.csv"), "--out", dir.filePath("out.dat")});
  ASSERT_EQ(imp.exitCode, 0) << imp.err.toStdString();
  for (const char* expected : {"in.csv:4:Rx: 600.00000 MHz is outside the band, kept as 174.00000 MHz", "in.csv:4:Decode: not a tone",
                               "in.csv:4:Power: not an option", "in.csv:5:Rx: not a frequency",
                               "in.csv:6:Channel: not a channel number"})
    EXPECT_TRUE(imp.err.contains(expected)) << expected << "\n" << imp.err.toStdString();
  EXPECT_EQ(QFileInfo(dir.filePath("out.dat")).size(), 1040);

  const CliResult exp = cli({"channels", dir.filePath("out.dat"), "--export", dir.filePath("out.csv")});
  ASSERT_EQ(exp.exitCode, 0) << exp.err.toStdString();
  const QStringList lines = QString::fromUtf8(readText(dir.filePath("out.csv"))).split('\n');
  EXPECT_EQ(lines[0], "Channel,Rx,Tx,Decode,Encode,Power,W/N,Scan,BCL,VOX,PTT ID");
  EXPECT_EQ(lines[1], "1,146.52125,146.52000,67.0,D023N,Low,Narrow,Off,Carrier,On,BOT");
  EXPECT_EQ(lines[2], "2,145.50000,,None,,High,Wide,On,Off,Off,Off");
  EXPECT_EQ(lines[3], "3,174.00000,,None,,High,Wide,On,Off,Off,Off");
  EXPECT_EQ(lines[4], "4,,,,,,,,,,");

  // The exported table imports back to the same bytes.
  const CliResult again = cli({"channels", dir.filePath("out.dat"), "--import", dir.filePath("out.csv"), "--out",
                               dir.filePath("again.dat")});
  ASSERT_EQ(again.exitCode, 0) << again.err.toStdString();
  EXPECT_TRUE(again.err.isEmpty()) << again.err.toStdString();
  EXPECT_EQ(readText(dir.filePath("again.dat")), readText(dir.filePath("out.dat")));
}

TEST(ChannelsCommand, ShowJsonNamesModelAndBand) {
  QTemporaryDir dir;
  const CliResult r = cli({"show", ZR_BIN_DIR "/DefRadioSet_VHF.def", "--json"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QJsonObject root = QJsonDocument::fromJson(r.out.toUtf8()).object();
  EXPECT_EQ(root["model"].toObject()["text"].toString(), "ZR-417");
  EXPECT_EQ(root["band"].toObject()["text"].toString(), "136 - 174 MHz");
  EXPECT_EQ(root["band"].toObject()["position"].toInt(), 1);
  EXPECT_EQ(root["band"].toObject()["min"].toInt(), 13600000);
  EXPECT_EQ(root["band"].toObject()["max"].toInt(), 17400000);
  EXPECT_EQ(root["band"].toObject()["max_mhz"].toString(), "174.00000");
}

TEST(ChannelsCommand, BadHeaderAndUsage) {
  QTemporaryDir dir;
  writeText(dir.filePath("bad.csv"), "Chan,Rx\n1,146.52\n");
  const CliResult r = cli({"channels", ZR_BIN_DIR "/DefRadioSet_VHF.def", "--import", dir.filePath("bad.csv"),
                           "--out", dir.filePath("x.dat")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_FALSE(QFile::exists(dir.filePath("x.dat")));
  EXPECT_EQ(cli({"channels", "a.dat"}).exitCode, 2);
  EXPECT_EQ(cli({"channels", "a.dat", "--export", "x", "--import", "y"}).exitCode, 2);
}

TEST(ChannelsCommand, ProblemsNameTheLineOfTheFile) {
  // Blank lines and a line break inside quotes: the messages still point at
  // the lines an editor shows.
  QTemporaryDir dir;
  writeText(dir.filePath("in.csv"),
            "\r\nChannel,Rx,Tx,Decode,Encode\r\n\r\n"
            "1,abc,,,\n"
            "\"x\n\",146.0,,,\n"
            "\n"
            "2,146.5,,nope,\n");
  const CliResult r = cli({"channels", ZR_BIN_DIR "/DefRadioSet_VHF.def", "--import", dir.filePath("in.csv"),
                           "--out", dir.filePath("out.dat")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  for (const char* expected : {"in.csv:4:Rx: not a frequency", "in.csv:5:Channel: not a channel number",
                               "in.csv:8:Decode: not a tone"})
    EXPECT_TRUE(r.err.contains(expected)) << expected << "\n" << r.err.toStdString();
}

TEST(Csv, QuotedFieldsAndLineEnds) {
  const auto rows = zr::parseCsv("a,\"b,c\",\"d\"\"e\"\r\n\n1,,3\r\nlast");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], (QStringList{"a", "b,c", "d\"e"}));
  EXPECT_EQ(rows[1], (QStringList{"1", "", "3"}));
  EXPECT_EQ(rows[2], (QStringList{"last"}));
  EXPECT_EQ(zr::csvLine({"x", "y,z", "q\""}), "x,\"y,z\",\"q\"\"\"");

  // Where each row starts: blank lines give no row, a quoted line break stays in its row.
  std::vector<int> lines;
  const auto spread = zr::parseCsv("a\n\n\"x\ny\",2\r\n\r\nlast\rz", &lines);
  ASSERT_EQ(spread.size(), 4u);
  EXPECT_EQ(spread[1], (QStringList{"x\ny", "2"}));
  EXPECT_EQ(lines, (std::vector<int>{1, 3, 6, 7}));
}

}  // namespace

namespace {

using zr::testing::CliResult;

const QByteArray kChirpCsv =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,CrossMode,"
    "Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE\r\n"
    "1,,146.520000,,0.000000,TSQL,88.5,88.5,023,NN,023,Tone->Tone,NFM,5.00,S,Low,,,,,\r\n"
    "2,Home,147.000000,+,0.600000,Tone,100.0,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,,,,,\r\n";

QByteArray fileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class ChannelsChirp : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    dat = dir.filePath("radio.dat");
    ASSERT_TRUE(QFile::copy(ZR_BIN_DIR "/DefRadioSet_VHF.def", dat));
    QFile f(dir.filePath("chirp.csv"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(kChirpCsv);
  }
  QTemporaryDir dir;
  QString dat;
};

TEST_F(ChannelsChirp, FormatIsRecognisedFromTheHeaderAndExportReadsBack) {
  // No --format: the header says CHIRP.
  const CliResult imp = zr::testing::runCli({"channels", dat, "--import", dir.filePath("chirp.csv"), "--out",
                                             dir.filePath("a.dat")});
  ASSERT_EQ(imp.exitCode, 0) << imp.err.toStdString();
  EXPECT_EQ(imp.err, dir.filePath("chirp.csv") + ":3:Name: the radio holds no channel names; \"Home\" is dropped\n");

  // "-" is stdout for an export.
  const CliResult exp = zr::testing::runCli({"channels", dir.filePath("a.dat"), "--export", "-", "--format", "chirp"});
  ASSERT_EQ(exp.exitCode, 0) << exp.err.toStdString();
  const QStringList lines = exp.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 3);
  EXPECT_EQ(lines[1], "1,,146.520000,,0.000000,TSQL,88.5,88.5,023,NN,023,Tone->Tone,NFM,5.00,S,Low,,,,,");
  EXPECT_EQ(lines[2], "2,,147.000000,+,0.600000,Tone,100.0,88.5,023,NN,023,Tone->Tone,FM,6.25,,High,,,,,");

  // "-" is stdin for an import: our export imports back unchanged, with no report.
  const CliResult back = zr::testing::runCliWithInput(
      {"channels", dir.filePath("a.dat"), "--import", "-", "--strict", "--out", dir.filePath("b.dat")},
      exp.out.toUtf8());
  ASSERT_EQ(back.exitCode, 0) << back.err.toStdString();
  EXPECT_TRUE(back.err.isEmpty()) << back.err.toStdString();
  EXPECT_EQ(fileBytes(dir.filePath("b.dat")), fileBytes(dir.filePath("a.dat")));
}

TEST_F(ChannelsChirp, StrictFailsOnAnyReportAndSavesNothing) {
  const CliResult r = zr::testing::runCli({"channels", dat, "--import", dir.filePath("chirp.csv"), "--format=chirp",
                                           "--strict", "--out", dir.filePath("s.dat")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.err.contains("\"Home\" is dropped")) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("nothing saved (--strict)")) << r.err.toStdString();
  EXPECT_FALSE(QFile::exists(dir.filePath("s.dat")));

  struct Case {
    QStringList args;
    QString message;
  };
  const Case usage[] = {
      {{"channels", dat, "--export", "x.csv", "--format", "excel"}, "--format takes ours or chirp"},
      {{"channels", dat, "--export", "x.csv", "--strict"}, "--strict goes with --import"},
      {{"channels", dat, "--import", "-", "--out", "-"}, "--out needs a file name"},
  };
  for (const Case& c : usage) {
    SCOPED_TRACE(c.args.join(' ').toStdString());
    const CliResult u = zr::testing::runCli(c.args);
    EXPECT_EQ(u.exitCode, 2);
    EXPECT_TRUE(u.err.contains(c.message)) << u.err.toStdString();
  }
}

// A spreadsheet runs a cell that begins with =, +, - or @: exported texts
// carry an apostrophe there, numbers stay numbers, and import takes it off.
TEST(Csv, FormulaLikeTextsAreGuardedAndReadBack) {
  const struct {
    QString text, exported;
  } cases[] = {
      {"=HYPERLINK(\"x\")", "'=HYPERLINK(\"x\")"},
      {"+cmd", "'+cmd"},
      {"-", "'-"},
      {"@SUM(A1)", "'@SUM(A1)"},
      {"-5", "-5"},
      {"+1.5", "+1.5"},
      {"High", "High"},
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    EXPECT_EQ(zr::csvText(c.text), c.exported);
    const auto rows = zr::parseCsv(zr::csvLine({zr::csvText(c.text), "x"}));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].value(0), c.text);
  }
}

}  // namespace
