// Our CSV as spreadsheets write it: columns by caption in any order and any
// subset, the semicolon and tab dialects with a decimal comma, and columns
// left out keeping what the channel holds.
#include <gtest/gtest.h>

#include "editors/ChannelCsv.h"
#include "editors/ChirpCsv.h"
#include "editors/CsvImportFixture.h"

namespace zr::testing {
namespace {

class CsvColumns : public CsvImportFixture {
 protected:
  std::vector<CsvProblem> import(const QString& csv, bool expectOk = true) {
    std::vector<CsvProblem> problems;
    EXPECT_EQ(importChannelsCsv(*editors, csv, problems), expectOk) << csv.toStdString();
    return problems;
  }
  static std::string text(const std::vector<CsvProblem>& problems) {
    QString t;
    for (const CsvProblem& p : problems) t += QStringLiteral("%1:%2: %3\n").arg(p.line).arg(p.column, p.message);
    return t.toStdString();
  }
};

TEST_F(CsvColumns, DialectsAndOrderGiveTheSameChannel) {
  const QString files[] = {
      "Channel,Rx,Tx,Decode,Encode,Power\n2,146.52000,147.12000,67.0,D023N,Low\n",
      "Power;Encode;Rx;Channel;Decode;Tx\nLow;D023N;146,52000;2;67.0;147,12000\n",
      "power\tENCODE\trx\tchannel\tdecode\ttx\r\nLow\tD023N\t146,52\t2\t67.0\t147,12\r\n",
      // A byte order mark and a trailing delimiter, as some spreadsheets save.
      QString(QChar(0xFEFF)) + "Channel;Rx;Tx;Decode;Encode;Power;\n2;\"146,52\";147,12;67.0;D023N;Low;\n",
  };
  for (const QString& csv : files) {
    SCOPED_TRACE(csv.toStdString());
    SetUp();
    const std::vector<CsvProblem> problems = import(csv);
    EXPECT_TRUE(problems.empty()) << text(problems);
    EXPECT_EQ(c().ChTable.get(kRowRx, 2), 14652000);
    EXPECT_EQ(c().ChTable.get(kRowTx, 2), 14712000);
    EXPECT_EQ(c().ChTable.decodeTone(2), "67.0");
    EXPECT_EQ(c().ChTable.encodeTone(2), "D023N");
    EXPECT_EQ(option(2, kRowPower), "Low");
  }
}

TEST_F(CsvColumns, LeftOutColumnsKeepTheChannelOrTakeTheDefaults) {
  ASSERT_TRUE(import("Channel,Rx,Tx,Decode,Encode,Power,Scan\n1,146.52,147.12,67.0,D023N,Low,Off\n").empty());
  // Only the receive frequency and the power of channel 1, and a new channel 3.
  const std::vector<CsvProblem> problems = import("Rx,Channel,Power\n145.5,1,High\n430.1,3,\n");
  ASSERT_EQ(problems.size(), 1u) << text(problems);
  EXPECT_EQ(problems[0].column, "Rx");  // 430.1 is outside this VHF file's band
  EXPECT_EQ(c().ChTable.get(kRowRx, 1), 14550000);
  EXPECT_EQ(c().ChTable.get(kRowTx, 1), 14712000);
  EXPECT_EQ(c().ChTable.decodeTone(1), "67.0");
  EXPECT_EQ(c().ChTable.encodeTone(1), "D023N");
  EXPECT_EQ(option(1, kRowPower), "High");
  EXPECT_EQ(option(1, kRowScan), "Off");

  // A new channel from Channel and Rx alone is what typing its receive frequency makes.
  SetUp();
  ASSERT_TRUE(import("Channel,Rx\n3,146.52\n").empty());
  std::vector<int> typed(ChannelTable::kRows), imported(ChannelTable::kRows);
  for (int row = 1; row < ChannelTable::kRows; ++row) imported[row] = c().ChTable.get(row, 3);
  SetUp();
  ASSERT_TRUE(import("Channel,Rx,Tx\n3,146.52,146.52\n").empty());
  for (int row = 1; row < ChannelTable::kRows; ++row) typed[row] = c().ChTable.get(row, 3);
  EXPECT_EQ(imported, typed);
  EXPECT_NE(c().ChTable.get(kRowPower, 3), -1);
}

TEST_F(CsvColumns, HeaderProblems) {
  struct Case {
    QString csv;
    bool ok;
    QString report;  // "column: message" of the header's first report
  };
  const Case cases[] = {
      {"Channel,Tx\n1,146.52\n", false,
       ": the header must name the columns Channel and Rx (others as needed: Tx, Decode, Encode, Power, W/N, Scan, "
       "BCL, VOX, PTT ID)"},
      {"Channel,Rx,Name\n1,146.52,home\n", true, "Name: no such column; its cells are left out"},
      {"Channel,Rx,rx\n1,146.52,147\n", true, "rx: the column appears twice; the second is left out"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.csv.toStdString());
    SetUp();
    const std::vector<CsvProblem> problems = import(k.csv, k.ok);
    ASSERT_FALSE(problems.empty());
    EXPECT_EQ(problems[0].line, 1);
    EXPECT_EQ(problems[0].column + ": " + problems[0].message, k.report);
    EXPECT_EQ(c().ChTable.get(kRowRx, 1), k.ok ? 14652000 : -1);
  }
}

TEST_F(CsvColumns, ChirpSemicolonFileWithDecimalCommas) {
  const QString csv = "Location;Name;Frequency;Duplex;Offset;Tone;rToneFreq;cToneFreq;Mode;Power\n"
                      "1;;146,520000;+;0,600000;Tone;88,5;88,5;FM;High\n";
  std::vector<CsvProblem> problems;
  ASSERT_TRUE(importChirpCsv(*editors, csv, problems)) << text(problems);
  EXPECT_EQ(c().ChTable.get(kRowRx, 1), 14652000);
  EXPECT_EQ(c().ChTable.get(kRowTx, 1), 14712000);
  EXPECT_EQ(c().ChTable.encodeTone(1), "88.5");
}

}  // namespace
}  // namespace zr::testing
