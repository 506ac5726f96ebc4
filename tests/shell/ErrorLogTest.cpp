// The error log: the two lines of each report, the window's load cycle, the
// description table and the guarded procedure wrapper.
#include <gtest/gtest.h>

#include <new>
#include <set>
#include <utility>
#include <vector>

#include "base/ErrorLog.h"

namespace zr {
namespace {

const QString kWhen = QStringLiteral("2024-05-01 13:45:12");
const QString kSeparator = QStringLiteral("---------2024-05-01 13:45:12--------");

QString reportLine(const QString& tag, int code, const QString& description) {
  return QStringLiteral("         错误:  ") + tag + QStringLiteral("     出错号:  ") + QString::number(code) +
         QStringLiteral("     出错点:  ZR417CPS     出错描述:  ") + description;
}

// A log with a fixed clock that records its signals.
struct LogFixture : ::testing::Test {
  ErrorLog log;
  int loads = 0;
  std::vector<std::pair<int, QString>> inserted;

  LogFixture() {
    log.setClockText([] { return kWhen; });
    QObject::connect(&log, &ErrorLog::loaded, [this] { ++loads; });
    QObject::connect(&log, &ErrorLog::lineInserted,
                     [this](int pos, const QString& text) { inserted.emplace_back(pos, text); });
  }
};

TEST_F(LogFixture, FirstReportOpensTheLogAndWritesTwoLines) {
  EXPECT_FALSE(log.isLoaded());
  log.LogError("modChMem->TextToAscii", 9);

  EXPECT_TRUE(log.isLoaded());
  EXPECT_EQ(loads, 1);
  ASSERT_EQ(log.lines().size(), 2);
  EXPECT_EQ(log.lines()[0], kSeparator);
  EXPECT_EQ(log.lines()[1], QStringLiteral("         错误:  modChMem->TextToAscii     出错号:  9     出错点:  "
                                           "ZR417CPS     出错描述:  数组索引超出范围"));
  EXPECT_EQ(log.selected(), 1);
  EXPECT_EQ(log.counter(), 2);
  EXPECT_EQ(inserted, (std::vector<std::pair<int, QString>>{{0, log.lines()[0]}, {1, log.lines()[1]}}));
  EXPECT_EQ(log.currentDescription(), QStringLiteral("数组索引超出范围"));

  // A second report goes below the first without reloading the window.
  log.LogError("mdifrmMain->SaveFile", 53);
  EXPECT_EQ(loads, 1);
  ASSERT_EQ(log.lines().size(), 4);
  EXPECT_EQ(log.lines()[2], kSeparator);
  EXPECT_EQ(log.lines()[3], reportLine("mdifrmMain->SaveFile", 53, QStringLiteral("文件找不到")));
  EXPECT_EQ(log.selected(), 3);
  EXPECT_EQ(log.reportCount(), 2);
  EXPECT_EQ(log.lastTag(), "mdifrmMain->SaveFile");
  EXPECT_EQ(log.lastCode(), 53);
}

TEST_F(LogFixture, ReportLineKeepsTheTagAsGivenAndBlankForUnknownCodes) {
  const struct {
    QString tag;
    int code;
    QString description;
  } cases[] = {
      {"frmChMem->InitFace:", 13, QStringLiteral("类型不符合")},
      {"modShowErr->VbErrNumDes:", 4, ""},
      {"frmCommun->cmdWrite_Click", 12345, ""},
      {"x", -1, ""},
      {"", 31037, QStringLiteral("从文件读出时出错")},
  };
  for (const auto& c : cases) {
    log.LogError(c.tag, c.code);
    EXPECT_EQ(log.lines().last(), reportLine(c.tag, c.code, c.description)) << c.code;
    EXPECT_EQ(log.currentDescription(), c.description) << c.code;
  }
  EXPECT_TRUE(log.lines()[3].endsWith(QStringLiteral("     出错描述:  ")));
}

TEST_F(LogFixture, ReportFromARunErrorUsesItsCode) {
  log.LogError("frmCommun->cmdRead_Click", RunError(kErrPathNotFound, "detail"));
  EXPECT_EQ(log.lines()[1], reportLine("frmCommun->cmdRead_Click", 76, QStringLiteral("找不到路径")));
}

// The cause travels beside the report: the two lines stay as they are, the
// window gets it for the report line, the echo (the CLI's --verbose) prints
// it after them, and a report without a cause clears it.
TEST_F(LogFixture, ACauseStaysBesideTheTwoLines) {
  QStringList echoed;
  QObject::connect(&log, &ErrorLog::reported, [&](const QString& line) { echoed << line; });
  std::vector<std::pair<int, QString>> details;
  QObject::connect(&log, &ErrorLog::detailAdded,
                   [&](int pos, const QString& detail) { details.emplace_back(pos, detail); });
  EXPECT_FALSE(guarded(log, "mdifrmMain->OpenFile", [] { throw RunError(kErrFileNotFound, "x.dat: no such file"); }));
  EXPECT_EQ(log.lines(), (QStringList{kSeparator, reportLine("mdifrmMain->OpenFile", 53, QStringLiteral("文件找不到"))}));
  EXPECT_EQ(log.lastDetail(), "x.dat: no such file");
  EXPECT_EQ(details, (std::vector<std::pair<int, QString>>{{1, "x.dat: no such file"}}));
  EXPECT_EQ(echoed, (QStringList{kSeparator, reportLine("mdifrmMain->OpenFile", 53, QStringLiteral("文件找不到")),
                                 "    cause: x.dat: no such file"}));
  log.LogError("a->b", 9);
  EXPECT_TRUE(log.lastDetail().isEmpty());
  EXPECT_EQ(details.size(), 1u);
}

TEST_F(LogFixture, UnloadingRestartsNumberingAndLoadingShowsAnEmptyList) {
  log.load();  // opened from the View menu before any failure
  EXPECT_EQ(loads, 1);
  EXPECT_TRUE(log.isLoaded());
  EXPECT_TRUE(log.lines().isEmpty());
  EXPECT_EQ(log.counter(), 0);

  log.LogError("a->b", 5);
  log.LogError("a->c", 6);
  EXPECT_EQ(loads, 1);
  EXPECT_EQ(log.lines().size(), 4);

  log.unload();
  EXPECT_FALSE(log.isLoaded());
  inserted.clear();
  log.LogError("a->d", 7);
  EXPECT_EQ(loads, 2);
  ASSERT_EQ(log.lines().size(), 2);
  EXPECT_EQ(log.lines()[1], reportLine("a->d", 7, QStringLiteral("内存不足")));
  EXPECT_EQ(log.selected(), 1);
  ASSERT_EQ(inserted.size(), 2u);
  EXPECT_EQ(inserted[0].first, 0);
  EXPECT_EQ(inserted[1].first, 1);
}

TEST(ErrorLog, DefaultClockWritesADateBetweenTheDashes) {
  ErrorLog log;
  log.LogError("a->b", 9);
  const QString sep = log.lines().at(0);
  EXPECT_TRUE(sep.startsWith(QStringLiteral("---------")));
  EXPECT_TRUE(sep.endsWith(QStringLiteral("--------")));
  EXPECT_GT(sep.size(), 17);
}

TEST(ErrorLog, LineCapKeepsEchoingReports) {
  ErrorLog log;
  log.setClockText([] { return kWhen; });
  int echoed = 0;
  QString lastEcho;
  QObject::connect(&log, &ErrorLog::reported, [&](const QString& line) {
    ++echoed;
    lastEcho = line;
  });
  const int reports = ErrorLog::kMaxLines / 2 + 1;  // one line past the cap
  for (int i = 0; i < reports; ++i) log.LogError("a->b", 9);
  EXPECT_EQ(log.lines().size(), ErrorLog::kMaxLines);
  EXPECT_EQ(log.counter(), ErrorLog::kMaxLines);
  EXPECT_EQ(log.lines().last(), kSeparator);

  log.LogError("past->cap", 11);
  EXPECT_EQ(log.lines().size(), ErrorLog::kMaxLines);
  EXPECT_EQ(echoed, 2 * (reports + 1));
  EXPECT_EQ(lastEcho, reportLine("past->cap", 11, QStringLiteral("除以零")));
  EXPECT_EQ(log.lastTag(), "past->cap");
  EXPECT_EQ(log.currentDescription(), QStringLiteral("除以零"));

  // A fresh load of the window takes reports again.
  log.unload();
  log.LogError("again->x", 6);
  EXPECT_EQ(log.lines().size(), 2);
}

TEST(ErrorDescriptions, TableHoldsTheStandardCodesInOrder) {
  const std::vector<int> expected = {
      3,   5,   6,   7,   9,   10,  11,  13,  14,  16,  17,  18,  20,  28,  35,    47,    48,    49,    51,
      52,  53,  54,  55,  57,  58,  59,  61,  62,  63,  67,  68,  70,  71,  74,    75,    76,    91,    92,
      93,  94,  97,  298, 320, 321, 322, 325, 327, 328, 335, 336, 337, 338, 360,   361,   363,   364,   365,
      368, 371, 380, 381, 382, 383, 385, 387, 393, 394, 400, 402, 419, 422, 423,   424,   425,   429,   430,
      432, 438, 440, 442, 443, 445, 446, 447, 448, 449, 450, 451, 452, 453, 454,   455,   457,   458,   459,
      460, 461, 462, 463, 480, 481, 482, 483, 484, 485, 486, 520, 521, 735, 744,   746,   31001, 31004, 31018,
      31027, 31032, 31036, 31037};
  ASSERT_EQ(expected.size(), 118u);
  EXPECT_EQ(VbErrCodes(), expected);

  std::set<QString> texts;
  for (int code : VbErrCodes()) {
    EXPECT_FALSE(VbErrNumDes(code).trimmed().isEmpty()) << code;
    texts.insert(VbErrNumDes(code));
  }
  // Only 7 and 31001 (both "out of memory") share a text.
  EXPECT_EQ(texts.size(), 117u);

  for (int code : {0, 1, 2, 4, 8, 12, 96, 1337, 31002, 65535, -9}) EXPECT_EQ(VbErrNumDes(code), "") << code;
}

TEST(ErrorDescriptions, FixedTextsAreVerbatim) {
  const std::pair<int, const char*> cases[] = {
      {5, "无效的过程调用"},      {6, "溢出"},
      {7, "内存不足"},            {9, "数组索引超出范围"},
      {11, "除以零"},             {13, "类型不符合"},
      {52, "错误的文件名或数目"}, {53, "文件找不到"},
      {54, "错误的文件方式"},     {55, "文件已打开"},
      {57, "I/O设备错误"},        {58, "文件已经存在"},
      {61, "磁盘已满"},           {62, "输入已超过文件结尾"},
      {70, "没有访问权限"},       {71, "磁盘尚未就绪"},
      {75, "路径/文件访问错误"},  {76, "找不到路径"},
      {482, "打印机错误"},        {31036, "存储到文件时出错"},
      {31037, "从文件读出时出错"},
  };
  for (const auto& [code, text] : cases) EXPECT_EQ(VbErrNumDes(code), QString::fromUtf8(text)) << code;
}

TEST(Guarded, FailuresAreLoggedUnderTheTagAndSwallowed) {
  const struct {
    const char* name;
    std::function<void()> body;
    int code;  // 0: no failure
  } cases[] = {
      {"success", [] {}, 0},
      {"run error", [] { throw RunError(kErrTypeMismatch); }, 13},
      {"out of memory", [] { throw std::bad_alloc(); }, 7},
      {"other exception", [] { throw std::out_of_range("x"); }, 5},
  };
  for (const auto& c : cases) {
    ErrorLog log;
    const bool ok = guarded(log, "frmChMem->InitFace:", c.body);
    EXPECT_EQ(ok, c.code == 0) << c.name;
    EXPECT_EQ(log.reportCount(), c.code == 0 ? 0 : 1) << c.name;
    if (c.code != 0) {
      EXPECT_EQ(log.lastTag(), "frmChMem->InitFace:") << c.name;
      EXPECT_EQ(log.lastCode(), c.code) << c.name;
    }
  }
}

}  // namespace
}  // namespace zr
