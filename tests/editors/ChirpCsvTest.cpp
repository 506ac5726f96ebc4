// CHIRP's generic CSV both ways: a file written by hand from the format's
// documented header, the mapping of every tone combination, and a round trip.
#include <gtest/gtest.h>

#include "editors/ChannelCsv.h"
#include "editors/ChirpCsv.h"
#include "editors/CsvImportFixture.h"

namespace zr::testing {
namespace {

const QString kChirpHeader = QStringLiteral(
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,CrossMode,"
    "Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE\n");
const QString kOurHeader = QStringLiteral("Channel,Rx,Tx,Decode,Encode,Power,W/N,Scan,BCL,VOX,PTT ID\n");

class ChirpCsv : public CsvImportFixture {
 protected:
  struct Channel {
    int rx, tx;
    QString decode, encode, power, width, scan;
  };
  // The image as a save would store it: every channel encoded.
  QByteArray encodedImage() {
    c().codec.ChInfoToIicDat();
    return QByteArray(reinterpret_cast<const char*>(c().image.TempArray.bytes().data()), 0x400);
  }
  Channel channel(int ch) {
    return {c().ChTable.get(kRowRx, ch),    c().ChTable.get(kRowTx, ch), c().ChTable.decodeTone(ch),
            c().ChTable.get(kRowTx, ch) == -1 ? QString() : c().ChTable.encodeTone(ch),
            option(ch, kRowPower),          option(ch, kRowWide),        option(ch, kRowScan)};
  }
};

TEST_F(ChirpCsv, AHandWrittenFileImportsWithTheExpectedChannels) {
  const QString csv = kChirpHeader + QStringLiteral(
      "1,,146.520000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,,,,,\n"
      "2,RPT,147.000000,+,0.600000,Tone,100.0,88.5,023,NN,023,Tone->Tone,NFM,5.00,S,Low,,,,,\n"
      "3,,146.940000,-,0.600000,TSQL,88.5,123.0,023,NN,023,Tone->Tone,FM,5.00,,5.0W,,,,,\n"
      "4,,145.500000,,0.000000,DTCS,88.5,88.5,754,RN,023,Tone->Tone,FM,5.00,,1.0W,,,,,\n"
      "5,,151.820000,off,0.000000,Cross,67.0,88.5,023,NN,131,Tone->DTCS,NFM,5.00,P,High,,,,,\n"
      "6,,162.550000,split,152.000000,TSQL-R,88.5,88.5,023,NN,023,Tone->Tone,AM,5.00,,High,,,,,\n"
      "7,,146.52123,,0.000000,Cross,88.5,88.5,023,NR,025,DTCS->DTCS,FM,5.00,,high,,,,,\n"
      "8,,446.000000,,0.000000,Cross,88.5,77.0,023,NN,023,->Tone,FM,5.00,,Low,,,,,\n"
      "9,,146.000000,,0.000000,Cross,88.5,88.5,047,RN,023,DTCS->,FM,5.00,,Low,,,,,\n"
      "20,,146.520000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,,,,,\n"
      "0,,146.520000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,,,,,\n");
  std::vector<CsvProblem> problems;
  ASSERT_TRUE(importChirpCsv(*editors, csv, problems));

  struct Expected {
    int ch;
    Channel channel;
  };
  const Expected expected[] = {
      {1, {14652000, 14652000, "None", "None", "High", "Wide", "On"}},
      {2, {14700000, 14760000, "None", "100.0", "Low", "Narrow", "Off"}},
      {3, {14694000, 14634000, "123.0", "123.0", "High", "Wide", "On"}},
      {4, {14550000, 14550000, "D754N", "D754I", "Low", "Wide", "On"}},
      {5, {15182000, -1, "D131N", "", "High", "Narrow", "On"}},
      {6, {16255000, 15200000, "None", "None", "High", "Wide", "On"}},
      {7, {14652125, 14652125, "D025I", "D023N", "High", "Wide", "On"}},
      {8, {17400000, 17400000, "77.0", "None", "Low", "Wide", "On"}},
      {9, {14600000, 14600000, "None", "D047I", "Low", "Wide", "On"}},
  };
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.ch);
    const Channel got = channel(e.ch);
    EXPECT_EQ(got.rx, e.channel.rx);
    EXPECT_EQ(got.tx, e.channel.tx);
    EXPECT_EQ(got.decode, e.channel.decode);
    EXPECT_EQ(got.encode, e.channel.encode);
    EXPECT_EQ(got.power, e.channel.power);
    EXPECT_EQ(got.width, e.channel.width);
    EXPECT_EQ(got.scan, e.channel.scan);
  }
  EXPECT_EQ(c().ChTable.get(kRowRx, 10), -1);

  // Everything the radio could not hold, cell by cell.
  const QStringList reports = [&] {
    QStringList r;
    for (const CsvProblem& p : problems) r << QStringLiteral("%1:%2: %3").arg(p.line).arg(p.column, p.message);
    return r;
  }();
  EXPECT_EQ(reports, (QStringList{
                         "3:Name: the radio holds no channel names; \"RPT\" is dropped",
                         "6:Tone: the channel does not transmit; its transmit tone 67.0 is dropped",
                         "6:Skip: priority scan is not held; the channel is scanned",
                         "7:Tone: a tone mode this radio cannot hold: \"TSQL-R\"; the channel gets no tones",
                         "7:Mode: a mode this radio cannot hold: \"AM\" (FM or NFM)",
                         "8:Frequency: snapped to the 250 Hz raster: 146.52125 MHz",
                         "9:Frequency: 446.00000 MHz is outside the band, kept as 174.00000 MHz",
                         "11:Location: location 20 is not a channel of this radio (1 to 16); row skipped",
                         "12:Location: location 0 is not a channel of this radio (1 to 16); row skipped",
                     }))
      << reports.join('\n').toStdString();
}

TEST_F(ChirpCsv, ExportNamesEachToneCombination) {
  struct Case {
    QString ours;   // our CSV row of channel 1
    QString chirp;  // the CHIRP row expected for it
  };
  const Case cases[] = {
      {"1,146.52000,146.52000,None,None,High,Wide,On,Off,Off,Off",
       "1,,146.520000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,,,,,"},
      {"1,147.00000,147.60000,None,100.0,Low,Narrow,Off,Off,Off,Off",
       "1,,147.000000,+,0.600000,Tone,100.0,88.5,023,NN,023,Tone->Tone,NFM,6.25,S,Low,,,,,"},
      {"1,146.94000,146.34000,123.0,123.0,High,Wide,On,Off,Off,Off",
       "1,,146.940000,-,0.600000,TSQL,123.0,123.0,023,NN,023,Tone->Tone,FM,5.00,,High,,,,,"},
      {"1,145.50000,145.50000,D754N,D754I,High,Wide,On,Off,Off,Off",
       "1,,145.500000,,0.000000,DTCS,88.5,88.5,754,RN,754,Tone->Tone,FM,6.25,,High,,,,,"},
      {"1,145.50000,145.50000,67.0,71.9,High,Wide,On,Off,Off,Off",
       "1,,145.500000,,0.000000,Cross,71.9,67.0,023,NN,023,Tone->Tone,FM,6.25,,High,,,,,"},
      {"1,145.50000,145.50000,D131N,67.0,High,Wide,On,Off,Off,Off",
       "1,,145.500000,,0.000000,Cross,67.0,88.5,023,NN,131,Tone->DTCS,FM,6.25,,High,,,,,"},
      {"1,145.50000,145.50000,67.0,D131I,High,Wide,On,Off,Off,Off",
       "1,,145.500000,,0.000000,Cross,88.5,67.0,131,RN,023,DTCS->Tone,FM,6.25,,High,,,,,"},
      {"1,145.50000,145.50000,D025I,D023N,High,Wide,On,Off,Off,Off",
       "1,,145.500000,,0.000000,Cross,88.5,88.5,023,NR,025,DTCS->DTCS,FM,6.25,,High,,,,,"},
      {"1,145.50000,145.50000,77.0,None,High,Wide,On,Off,Off,Off",
       "1,,145.500000,,0.000000,Cross,88.5,77.0,023,NN,023,->Tone,FM,6.25,,High,,,,,"},
      {"1,145.50000,145.50000,None,D047I,High,Wide,On,Off,Off,Off",
       "1,,145.500000,,0.000000,Cross,88.5,88.5,047,RN,023,DTCS->,FM,6.25,,High,,,,,"},
      {"1,151.82000,,D131N,,High,Narrow,On,Off,Off,Off",
       "1,,151.820000,off,0.000000,Cross,88.5,88.5,023,NN,131,->DTCS,NFM,5.00,,High,,,,,"},
      {"1,146.52125,146.52125,None,None,High,Wide,On,Off,Off,Off",
       "1,,146.521250,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,2.50,,High,,,,,"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.ours.toStdString());
    SetUp();
    std::vector<CsvProblem> problems;
    ASSERT_TRUE(importChannelsCsv(*editors, kOurHeader + k.ours + u'\n', problems));
    ASSERT_TRUE(problems.empty()) << problems.front().message.toStdString();
    const QStringList lines = exportChirpCsv(*editors).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);  // empty channels are not listed
    EXPECT_EQ(lines[0] + u'\n', kChirpHeader);
    EXPECT_EQ(lines[1], k.chirp);

    // And back: the CHIRP row gives the same channel record.
    const QByteArray before = encodedImage();
    SetUp();
    ASSERT_TRUE(importChirpCsv(*editors, kChirpHeader + k.chirp + u'\n', problems));
    EXPECT_TRUE(problems.empty()) << problems.front().message.toStdString();
    EXPECT_EQ(encodedImage(), before);
  }
}

}  // namespace
}  // namespace zr::testing
