// Reading the channel grid's column definitions from section "ChInfo".
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "editors/ChInfoReader.h"

namespace zr {
namespace {

// The codes of the reports in the log, each checked to carry the reader's tag.
std::vector<int> loggedCodes(const ErrorLog& log) {
  static const QRegularExpression report(QStringLiteral("错误:  (\\S+)\\s+出错号:  (\\d+)"));
  std::vector<int> codes;
  for (const QString& line : log.lines()) {
    const QRegularExpressionMatch m = report.match(line);
    if (!m.hasMatch()) continue;
    EXPECT_EQ(m.captured(1), "frmChMem->ReadChInfo");
    codes.push_back(m.captured(2).toInt());
  }
  EXPECT_EQ(static_cast<int>(codes.size()), log.reportCount());
  return codes;
}

class ChInfoFile : public ::testing::Test {
 protected:
  PrivateProfile write(const QByteArray& bytes) {
    QFile f(dir_.filePath("kelvane.def"));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return PrivateProfile(f.fileName());
  }

  QTemporaryDir dir_;
  ErrorLog log_;
};

TEST_F(ChInfoFile, ReadsTwoColumnsUpToTheirTerminators) {
  const PrivateProfile ini = write(
      "[Setting]\r\nDatNum=8191\r\n"
      "[ChInfo]\r\n"
      "3000=20\r\n3001=300\r\n3002=2\r\n3003=CH|Rx|Power\r\n"
      "3100=500\r\n3101= 1200 \r\n"  // 3102 missing: default width
      "3200=RxFre\r\n3201=  7  \r\n3202=*EndOfThisItem*\r\n3203=not read\r\n"
      "3250=Low|High\r\n3251=2\r\n3252=1\r\n3253=Low\r\n3254=High\r\n3255= *EndOfThisItem* \r\n");

  const ChColumnDefs d = ReadChInfo(ini, 3, log_);

  EXPECT_EQ(d.channelCount, 20);
  EXPECT_EQ(d.rowHeight, 300);
  EXPECT_EQ(d.columnCount, 2);
  EXPECT_EQ(d.headerFormat, "CH|Rx|Power");
  EXPECT_EQ(d.widths, (std::vector<int>{500, 1200, 1000}));
  ASSERT_EQ(d.items.size(), 3u);
  EXPECT_TRUE(d.items[0].isEmpty());
  EXPECT_EQ(d.items[1], (QStringList{"RxFre", "7"}));
  EXPECT_EQ(d.items[2], (QStringList{"Low|High", "2", "1", "Low", "High"}));
  EXPECT_EQ(d.defaultValue(2), 1);
  EXPECT_EQ(d.optionText(2, 1), "High");
  EXPECT_EQ(log_.reportCount(), 0);
}

TEST_F(ChInfoFile, LanguageChoosesTheKeyBlock) {
  const PrivateProfile ini = write("[ChInfo]\n1000=11\n2000=22\n3000=33\n");
  const struct {
    int lang;
    int channels;
  } cases[] = {{1, 11}, {2, 22}, {3, 33}, {0, 33}, {4, 33}, {-1, 33}};
  for (const auto& c : cases) EXPECT_EQ(ReadChInfo(ini, c.lang, log_).channelCount, c.channels) << c.lang;
  EXPECT_EQ(log_.reportCount(), 0);
}

TEST_F(ChInfoFile, WithoutTheSectionEverythingTakesItsDefault) {
  const PrivateProfile ini = write("[Setting]\nDatNum=8191\n");
  const ChColumnDefs d = ReadChInfo(ini, 3, log_);
  const ChColumnDefs f = ChColumnDefs::fallback();
  EXPECT_EQ(d.channelCount, 16);
  EXPECT_EQ(d.rowHeight, 240);
  EXPECT_EQ(d.columnCount, 9);
  EXPECT_EQ(d.headerFormat, "0|0|0|0|0|0|0|0|0|0");
  EXPECT_EQ(d.widths, std::vector<int>(10, 1000));
  EXPECT_EQ(d.items, f.items);  // no terminator: 50 items "0" per column
  EXPECT_EQ(d.items[9].size(), ChColumnDefs::kMaxItems);
  EXPECT_EQ(log_.reportCount(), 0);
}

TEST_F(ChInfoFile, BadCountsAreClampedOrDefaultedAndLogged) {
  const struct {
    const char* n;
    const char* height;
    const char* m;
    const char* width0;
    int channels, rowHeight, columns, width;
    std::vector<int> codes;
  } cases[] = {
      {"0", "240", "9", "1000", 1, 240, 9, 1000, {9}},
      {"999", "240", "9", "1000", 260, 240, 9, 1000, {9}},
      {"260", "240", "20", "1000", 260, 240, 20, 1000, {}},
      {"16", "240", "25", "1000", 16, 240, 20, 1000, {9}},
      {"16", "240", "-3", "1000", 16, 240, 1, 1000, {9}},
      {"1e30", "240", "9", "1000", 260, 240, 9, 1000, {9}},
      {"abc", "240", "9", "1000", 16, 240, 9, 1000, {13}},
      {"", "240", "9", "1000", 16, 240, 9, 1000, {13}},
      {"16", "tall", "x", "wide", 16, 240, 9, 1000, {13, 13, 13}},
      {"16", "240", "9", "1e99", 16, 240, 9, 1000, {kErrOverflow}},
  };
  for (const auto& c : cases) {
    const PrivateProfile ini = write(QStringLiteral("[ChInfo]\n3000=%1\n3001=%2\n3002=%3\n3100=%4\n")
                                         .arg(c.n, c.height, c.m, c.width0)
                                         .toUtf8());
    ErrorLog log;
    const ChColumnDefs d = ReadChInfo(ini, 3, log);
    const QString label = QStringLiteral("N=%1 height=%2 M=%3 width=%4").arg(c.n, c.height, c.m, c.width0);

    EXPECT_EQ(d.channelCount, c.channels) << label.toStdString();
    EXPECT_EQ(d.rowHeight, c.rowHeight) << label.toStdString();
    EXPECT_EQ(d.columnCount, c.columns) << label.toStdString();
    EXPECT_EQ(d.widths.size(), static_cast<size_t>(c.columns) + 1) << label.toStdString();
    EXPECT_EQ(d.items.size(), static_cast<size_t>(c.columns) + 1) << label.toStdString();
    EXPECT_EQ(d.widths[0], c.width) << label.toStdString();
    EXPECT_EQ(loggedCodes(log), c.codes) << label.toStdString();
  }
}

}  // namespace
}  // namespace zr
