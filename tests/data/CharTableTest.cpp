// The shared character table, the two info text lines stored with it, and the
// DTMF code-text converters.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "data/CharTable.h"
#include "base/ErrorLog.h"

namespace zr {
namespace {

const CharTable& table() {
  static const CharTable t;
  return t;
}

// An image large enough for both info lines (and a bit beyond them).
ByteArray infoImage(int fill = 0) {
  ByteArray image(0x03FF);
  for (auto& b : image.bytes()) b = static_cast<uint8_t>(fill);
  return image;
}

std::vector<int> lineCodes(const ByteArray& image, int n) {
  std::vector<int> codes;
  for (int k = 0; k < kInfoLineChars; ++k) codes.push_back(image.word(kInfoTextAddr + 32 * (n - 1) + 2 * k));
  return codes;
}

std::vector<int> padded(std::vector<int> codes, int filler) {
  codes.resize(16, filler);
  return codes;
}

int errorCode(const std::function<void()>& f) {
  try {
    f();
  } catch (const RunError& e) {
    return e.code();
  }
  return 0;
}

TEST(CharTable, EntriesFollowTheFixedLayout) {
  const struct {
    int index;
    QString text;
  } cases[] = {
      {0, " "},    {31, " "},   {32, " "},        {33, "!"},  {34, " "},  {48, "0"},
      {65, "A"},   {122, "z"},  {126, "~"},       {127, " "}, {128, ""},  {999, ""},
      {1000, QString(QChar(0x4E00))},  {1001, QString(QChar(0x4E01))},  {21901, QString(QChar(0x9FA5))},
  };
  for (const auto& c : cases) EXPECT_EQ(table().HanZiTbl(c.index), c.text) << c.index;

  EXPECT_EQ(errorCode([] { table().HanZiTbl(-1); }), kErrSubscript);
  EXPECT_EQ(errorCode([] { table().HanZiTbl(CharTable::kSize); }), kErrSubscript);
}

TEST(CharTable, CodeOfIsTheFirstMatchingIndexForEveryCharacter) {
  // Reference: first index whose entry equals the character, gathered by an
  // upward walk over the table.
  std::map<char16_t, int> first;
  for (int i = 0; i < CharTable::kSize; ++i) {
    const QString& e = table().HanZiTbl(i);
    if (e.size() == 1) first.emplace(e.at(0).unicode(), i);
  }
  for (int u = 0; u <= 0xFFFF; ++u) {
    const auto it = first.find(char16_t(u));
    const int expected = it == first.end() ? CharTable::kNoMatch : it->second;
    ASSERT_EQ(table().codeOf(QChar(char16_t(u))), expected) << std::hex << u;
  }

  EXPECT_EQ(table().codeOf(u' '), 0);
  EXPECT_EQ(table().codeOf(u'!'), 33);
  EXPECT_EQ(table().codeOf(u'"'), CharTable::kNoMatch);
  EXPECT_EQ(table().codeOf(u'\t'), CharTable::kNoMatch);
  EXPECT_EQ(table().codeOf(QChar(0xFF0C)), CharTable::kNoMatch);  // full-width comma
  EXPECT_EQ(table().codeOf(QChar(0x4DFF)), CharTable::kNoMatch);
  EXPECT_EQ(table().codeOf(QChar(0x9FA5)), 21901);
  EXPECT_EQ(table().codeOf(QChar(0x9FA6)), CharTable::kNoMatch);
}

TEST(CharTable, InfoLinesEncodeAndShowTheStoredText) {
  const QString yi(QChar(0x4E00)), jia(QChar(0x7532)), yii(QChar(0x4E59)), comma(QChar(0xFF0C));
  const struct {
    QString text;
    std::vector<int> codes;  // padded with code 0
    QString shown;
  } cases[] = {
      {"Hi " + yi, {72, 105, 0, 1000}, "Hi " + yi},
      {"a\"b", {97, 21902, 98}, "ab"},
      {jia + comma + yii, {1000 + 0x7532 - 0x4E00, 21902, 1000 + 0x4E59 - 0x4E00}, jia + yii},
      {"0123456789ABCDEFG", {48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 65, 66, 67, 68, 69, 70}, "0123456789ABCDEF"},
      {"", {}, ""},
      {" x  ", {0, 120}, " x"},
      {"a\tb", {97, 21902, 98}, "ab"},
  };
  for (int n = 1; n <= 2; ++n) {
    for (const auto& c : cases) {
      ByteArray image = infoImage(0xAA);
      table().encodeInfoLine(image, n, c.text);
      EXPECT_EQ(lineCodes(image, n), padded(c.codes, 0)) << "line " << n << ": " << c.text.toStdString();
      EXPECT_EQ(table().decodeInfoLine(image, n), c.shown) << "line " << n << ": " << c.text.toStdString();
      // Nothing outside the line is written.
      const int base = kInfoTextAddr + 32 * (n - 1);
      for (int a = 0; a < image.size(); ++a) {
        if (a < base || a >= base + 32) {
          ASSERT_EQ(image.at(a), 0xAA) << "line " << n << " address " << a;
        }
      }
    }
  }
}

TEST(CharTable, DecodingSkipsCodesWithoutCharacters) {
  const struct {
    const char* name;
    std::vector<int> codes;
    QString shown;
  } cases[] = {
      {"all 0xFFFF", padded({}, 0xFFFF), ""},
      {"all 0", padded({}, 0), ""},
      {"empty entries", padded({65, 128, 999, 66}, 0xFFFF), "AB"},
      {"first code past the table", padded({21902, 67, 21901}, 0), "C" + QString(QChar(0x9FA5))},
      {"blank control codes inside", padded({68, 5, 69, 31, 34}, 0), "D E"},
  };
  for (const auto& c : cases) {
    ByteArray image = infoImage();
    for (int k = 0; k < 16; ++k) image.setWord(kInfoTextAddr + 32 + 2 * k, c.codes[k]);
    EXPECT_EQ(table().decodeInfoLine(image, 2), c.shown) << c.name;
    EXPECT_EQ(table().decodeInfoLine(image, 1), "") << c.name;
  }
}

TEST(CharTable, InfoLinesOutsideTheImageRaiseIndexOutOfRange) {
  ByteArray small(kInfoTextAddr + 32 + 16);  // line 2 cut short
  for (auto& b : small.bytes()) b = 0x11;
  const ByteArray before = small;

  EXPECT_EQ(errorCode([&] { table().encodeInfoLine(small, 2, "ABC"); }), kErrSubscript);
  EXPECT_EQ(small, before) << "a failed encode leaves the image untouched";
  EXPECT_EQ(errorCode([&] { table().decodeInfoLine(small, 2); }), kErrSubscript);

  ByteArray image = infoImage();
  for (int n : {0, 3, -1}) {
    EXPECT_EQ(errorCode([&] { table().encodeInfoLine(image, n, "A"); }), kErrSubscript) << n;
    EXPECT_EQ(errorCode([&] { table().decodeInfoLine(image, n); }), kErrSubscript) << n;
  }
  EXPECT_EQ(image, infoImage());
}

TEST(CharTable, DtmfTextsConvertThroughTheAsciiBuffer) {
  const struct {
    QString text;
    std::vector<int> buf;  // padded with 255
    QString back;
  } cases[] = {
      {"12ab*# ", {49, 50, 65, 66, 42, 35, 32}, "12AB*# "},
      {"1x2", {49, 255, 50}, "12"},
      {"", {}, ""},
      {"cdefCDEF", {67, 68, 69, 70, 67, 68, 69, 70}, "CDEFCDEF"},
      {"gG-+.", {255, 255, 255, 255, 255}, ""},
      {"0123456789ABCDEF", {48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 65, 66, 67, 68, 69, 70}, "0123456789ABCDEF"},
  };
  for (const auto& c : cases) {
    ErrorLog log;
    CharTable t;
    t.AsciiBuf.fill(7);  // stale content from an earlier call
    t.TextToAscii(c.text, log);
    EXPECT_EQ(std::vector<int>(t.AsciiBuf.begin(), t.AsciiBuf.end()), padded(c.buf, 255)) << c.text.toStdString();
    EXPECT_EQ(t.AsciiToTxt(), c.back) << c.text.toStdString();
    EXPECT_EQ(log.reportCount(), 0) << c.text.toStdString();
  }
}

TEST(CharTable, SeventeenthDtmfCharacterIsLoggedAndTheFirstSixteenStay) {
  ErrorLog log;
  CharTable t;
  t.TextToAscii("0123456789abcdefx9", log);
  EXPECT_EQ(std::vector<int>(t.AsciiBuf.begin(), t.AsciiBuf.end()),
            (std::vector<int>{48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 65, 66, 67, 68, 69, 70}));
  EXPECT_EQ(log.reportCount(), 1);
  EXPECT_EQ(log.lastTag(), "modChMem->TextToAscii");
  EXPECT_EQ(log.lastCode(), kErrSubscript);
  EXPECT_EQ(t.AsciiToTxt(), "0123456789ABCDEF");
}

TEST(CharTable, AsciiToTxtShowsOnlyDialableCodes) {
  CharTable t;
  t.AsciiBuf = {47, 48, 58, 64, 65, 70, 71, 97, 0, 34, 35, 36, 41, 42, 43, 32};
  EXPECT_EQ(t.AsciiToTxt(), "0AF#* ");
}

TEST(CharTable, DelInvalidCharKeepsWhatTheKindAllows) {
  const struct {
    QString text;
    int kind;
    QString kept;
  } cases[] = {
      {"1a-E#d", 0, "1A#D"},
      {"1a-E#d", 2, "1"},
      {"*# 09abcdABCDefEFxyz", 0, "*# 09ABCDABCD"},
      {"12 3*#a", 2, "123"},
      {QString::fromUtf8("１２3甲"), 0, "3"},  // full-width digits are not digits here
      {"", 0, ""},
      {"", 2, ""},
      {"123", 1, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CharTable::DelInvalidChar(c.text, c.kind), c.kept) << c.text.toStdString() << " kind " << c.kind;
}

}  // namespace
}  // namespace zr
