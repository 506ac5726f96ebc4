#include "data/ToneTable.h"

#include <gtest/gtest.h>

#include <ostream>

#include "base/ErrorLog.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace zr {
namespace {

TEST(ToneTable, ListOrderAndNoToneTextPerLanguage) {
  struct Case {
    int lang;
    QString noTone;
  };
  for (const Case& c : {Case{1, QStringLiteral("无")}, Case{2, QStringLiteral("None")}, Case{3, QStringLiteral("None")}}) {
    SCOPED_TRACE(c.lang);
    const ToneTable t(c.lang);
    const QStringList& l = t.CtdcsList();
    ASSERT_EQ(l.size(), ToneTable::kCount);
    EXPECT_EQ(t.NoToneText(), c.noTone);
    EXPECT_EQ(l[0], c.noTone);
    EXPECT_EQ(l[1], "67.0");
    EXPECT_EQ(l[13], "100.0");
    EXPECT_EQ(l[50], "254.1");
    EXPECT_EQ(l[51], "D023N");
    EXPECT_EQ(l[155], "D754N");
    EXPECT_EQ(l[156], "D023I");
    EXPECT_EQ(l[260], "D754I");
    EXPECT_EQ(t.indexOf("D754I"), 260);
    EXPECT_EQ(t.indexOf("D754X"), -1);
    EXPECT_EQ(QStringList(l).removeDuplicates(), 0);
  }
}

TEST(ToneTable, TextToWord) {
  struct Case {
    const char* text;
    uint8_t low, high;
  };
  const Case cases[] = {
      {"67.0", 0x9E, 0x02},  {"254.1", 0xED, 0x09}, {"100.0", 0xE8, 0x03}, {"60.0", 0x58, 0x02},
      {"D023N", 0x13, 0x28}, {"D023I", 0x13, 0xA8}, {"D754N", 0xEC, 0x29}, {"D754I", 0xEC, 0xA9},
      {"None", 0xFF, 0xFF},  {"", 0xFF, 0xFF},
      // A digit position holding something else counts as 0; any polarity
      // letter but N is inverted.
      {"D0x3N", 0x03, 0x28}, {"D023x", 0x13, 0xA8}, {"6x.5", 0x5D, 0x02},
  };
  const ToneTable t(3);
  ErrorLog log;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto w = t.QtDqtCharToIic(QString::fromUtf8(c.text), log);
    ASSERT_TRUE(w.has_value());
    EXPECT_EQ(*w, (ToneBytes{c.low, c.high}));
  }
  EXPECT_EQ(log.reportCount(), 0);
}

TEST(ToneTable, NoToneTextIsTheCurrentLanguages) {
  ErrorLog log;
  EXPECT_EQ(ToneTable(1).QtDqtCharToIic(QStringLiteral("无"), log), (ToneBytes{0xFF, 0xFF}));
  EXPECT_EQ(ToneTable(1).QtDqtIicToChar(0xFF, 0xFF), QStringLiteral("无"));
}

TEST(ToneTable, TextLongerThanFiveIsLoggedAndGivesNoWord) {
  const ToneTable t(3);
  ErrorLog log;
  EXPECT_FALSE(t.QtDqtCharToIic(QStringLiteral("D023NN"), log).has_value());
  EXPECT_EQ(log.reportCount(), 1);
  EXPECT_EQ(log.lastTag(), "modChMem->QtDqtCharToIic");
}

TEST(ToneTable, WordToText) {
  struct Case {
    int word;
    const char* text;
  };
  const Case cases[] = {
      {0xFFFF, "None"}, {0x0000, "None"}, {599, "None"},     {2651, "None"},     {600, "60.0"},
      {2650, "265.0"},  {670, "67.0"},    {1000, "100.0"},   {0x2800, "D000N"},  {0x29EC, "D754N"},
      {0x29FF, "D777N"}, {0xA9EC, "D754I"}, {0xA800, "D000I"}, {0x27FF, "None"}, {0x2A00, "None"},
      {0xA7FF, "None"}, {0xAA00, "None"},
  };
  const ToneTable t(3);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.word);
    EXPECT_EQ(t.QtDqtIicToChar(c.word >> 8, c.word & 0xFF), QString::fromUtf8(c.text));
  }
}

TEST(ToneTable, ConversionsAreInversesOverListAndWordRanges) {
  for (int lang : {1, 3}) {
    const ToneTable t(lang);
    ErrorLog log;
    for (const QString& text : t.CtdcsList()) {
      const auto w = t.QtDqtCharToIic(text, log);
      ASSERT_TRUE(w.has_value()) << text.toStdString();
      EXPECT_EQ(t.QtDqtIicToChar(w->high, w->low), text);
    }
    std::vector<int> words;
    for (int w = 600; w <= 2650; ++w) words.push_back(w);
    for (int w = 0x2800; w <= 0x29FF; ++w) words.push_back(w);
    for (int w = 0xA800; w <= 0xA9FF; ++w) words.push_back(w);
    words.push_back(0xFFFF);
    for (int word : words) {
      const QString text = t.QtDqtIicToChar(word >> 8, word & 0xFF);
      const auto back = t.QtDqtCharToIic(text, log);
      ASSERT_TRUE(back.has_value()) << word;
      EXPECT_EQ(back->high << 8 | back->low, word) << text.toStdString();
    }
    EXPECT_EQ(log.reportCount(), 0);
  }
}

}  // namespace
}  // namespace zr
