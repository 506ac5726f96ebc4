// Every cell a CSV import adjusts or rejects is reported with the real cause,
// as the channel grid's typing rules produce it.
#include <gtest/gtest.h>

#include "editors/ChannelCsv.h"
#include "editors/ChirpCsv.h"
#include "editors/CsvImportFixture.h"

namespace zr::testing {
namespace {

const QString kHeader = QStringLiteral("Channel,Rx,Tx,Decode,Encode,Power,W/N,Scan,BCL,VOX,PTT ID\n");

class CsvCauses : public CsvImportFixture {
 protected:
  std::vector<CsvProblem> import(const QString& rows) {
    std::vector<CsvProblem> problems;
    EXPECT_TRUE(importChannelsCsv(*editors, kHeader + rows, problems));
    return problems;
  }
};

TEST_F(CsvCauses, EachCellSaysWhatTheGridMadeOfIt) {
  struct Case {
    QString row;      // channel 1
    QString column;   // of the one report, empty: no report
    QString message;
    int rx;           // then stored, 10 Hz units
    QString decode;
  };
  const Case cases[] = {
      {"1,146.52000,,,", "", "", 14652000, "None"},
      {"1,146.5212,,,", "Rx", "snapped to the 250 Hz raster: 146.52125 MHz", 14652125, "None"},
      {"1,46.05,,,", "Rx",
       "read as 460.50000 MHz because the grid reads three digits before the point; 460.50000 MHz is outside "
       "the band, kept as 174.00000 MHz",
       17400000, "None"},
      {"1,1465,,,", "Rx",
       "read as 146.00000 MHz because the grid reads three digits before the point", 14600000, "None"},
      {"1,600,,,", "Rx", "600.00000 MHz is outside the band, kept as 174.00000 MHz", 17400000, "None"},
      {"1,146.520000,,,", "Rx",
       "\"146.520000\" has too many characters (at most 9, as ###.#####); stored as 136.00000 MHz", 13600000,
       "None"},
      {"1,abc,,,", "Rx", "not a frequency: \"abc\"", -1, ""},
      {"1,146.52,,100,", "Decode", "\"100\" read as the DCS code D100N", 14652000, "D100N"},
      {"1,146.52,,754i,", "Decode", "\"754i\" read as the DCS code D754I", 14652000, "D754I"},
      {"1,146.52,,67,", "Decode", "not a tone: \"67\"; stored as None", 14652000, "None"},
      {"1,146.52,,D089N,", "Decode", "not a tone: \"D089N\"; stored as None", 14652000, "None"},
      {"1,146.52,,67.05,", "Decode", "\"67.05\" read as 67.0", 14652000, "67.0"},
      {"1,146.52,,1234567,", "Decode", "not a tone: \"1234567\" has too many characters (at most 5); kept None",
       14652000, "None"},
      {"1,146.52,,D023,", "", "", 14652000, "D023N"},
      {"1,146.52,,67.00,", "", "", 14652000, "67.0"},
      {"1,146.52,,none,", "", "", 14652000, "None"},
      {"1,146.52,,,,Huge", "Power", "not an option of this column: \"Huge\" (Low, High)", 14652000, "None"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.row.toStdString());
    SetUp();
    const std::vector<CsvProblem> problems = import(k.row + u'\n');
    if (k.column.isEmpty()) {
      EXPECT_TRUE(problems.empty()) << problems.front().message.toStdString();
    } else {
      ASSERT_EQ(problems.size(), 1u);
      EXPECT_EQ(problems[0].line, 2);
      EXPECT_EQ(problems[0].column, k.column);
      EXPECT_EQ(problems[0].message, k.message);
    }
    EXPECT_EQ(c().ChTable.get(kRowRx, 1), k.rx);
    EXPECT_EQ(c().ChTable.decodeTone(1), k.decode);
  }
}

TEST_F(CsvCauses, OptionTextsMatchWithoutRegardToCase) {
  const std::vector<CsvProblem> problems = import("1,146.52,,,,low,narrow,OFF,carrier,on,both\n");
  EXPECT_TRUE(problems.empty()) << problems.front().message.toStdString();
  EXPECT_EQ(option(1, kRowPower), "Low");
  EXPECT_EQ(option(1, kRowWide), "Narrow");
  EXPECT_EQ(option(1, kRowScan), "Off");
  EXPECT_EQ(option(1, kRowBusyLock), "Carrier");
  EXPECT_EQ(option(1, kRowVox), "On");
  EXPECT_EQ(option(1, kRowPttId), "BOTH");
}

TEST_F(CsvCauses, ATransmitToneNeedsATransmitFrequency) {
  // The transmit cell emptied: the encode tone has nowhere to go.
  const std::vector<CsvProblem> problems = import("1,146.52,,67.0,D023N\n");
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].column, "Encode");
  EXPECT_EQ(problems[0].message, "the channel has no transmit frequency for this tone");
  EXPECT_EQ(c().ChTable.get(kRowTx, 1), -1);
}

// A file is one command: one Undo takes the whole import back, in either format.
TEST_F(CsvCauses, AnImportIsOneUndoStep) {
  struct Case {
    const char* name;
    bool (*importCsv)(Editors&, const QString&, std::vector<CsvProblem>&);
    QString csv;
  };
  const Case cases[] = {
      {"channels", importChannelsCsv, kHeader + "1,146.52,,67.0,\n2,147.00,147.60,,\n"},
      {"chirp", importChirpCsv,
       "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq\n1,,146.520000,,0.000000,Tone,88.5\n"
       "2,,147.000000,+,0.600000,,88.5\n"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    SetUp();
    const ChannelTable before = c().ChTable;
    const ByteArray imageBefore = c().image.TempArray;
    std::vector<CsvProblem> problems;
    ASSERT_TRUE(k.importCsv(*editors, k.csv, problems));
    ASSERT_NE(c().ChTable.get(kRowRx, 2), before.get(kRowRx, 2));
    EXPECT_EQ(c().history.undoSteps(), 1);
    ASSERT_TRUE(c().history.undo());
    EXPECT_TRUE(c().ChTable == before);
    EXPECT_TRUE(c().image.TempArray == imageBefore);
    EXPECT_FALSE(c().history.canUndo());
  }
}

}  // namespace
}  // namespace zr::testing
