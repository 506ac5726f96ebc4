// The two-tone table: the validation and write-back after a cell edit, the
// refresh with its repairs (also as part of the settings refresh), the CLI's
// "two_tone" array, and edits the table refuses.
#include "SettingsFixture.h"
#include "editors/TwoToneTable.h"

namespace zr {
namespace {

using Record = std::array<int, 8>;
using Cells = std::array<const char*, 5>;

class TwoTone : public SettingsFixture {
 protected:
  void SetUp() override {
    SettingsFixture::SetUp();
    table = std::make_unique<TwoToneTable>(image, log);
  }
  void pokeRecord(int entry, const Record& r) {
    for (int k = 0; k < 8; ++k) image.set(kTwoToneBase + 8 * entry + k, r[size_t(k)]);
  }
  Record record(int entry) const {
    Record r{};
    for (int k = 0; k < 8; ++k) r[size_t(k)] = image.at(kTwoToneBase + 8 * entry + k);
    return r;
  }
  std::string cells(int entry) const {
    std::string out;
    for (int k = 1; k <= 5; ++k) out += table->cell(entry, k).toStdString() + "|";
    return out;
  }
  std::unique_ptr<TwoToneTable> table;
};

std::string joined(const Cells& c) {
  std::string out;
  for (const char* t : c) out += std::string(t) + "|";
  return out;
}

TEST_F(TwoTone, ValidationAfterAnEditWritesTheWholeEntry) {
  struct Case {
    const char* what;
    Record before;
    std::vector<std::tuple<int, const char*>> edits;  // column, text
    Record after;
    Cells shows;
  };
  const Record empty = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  const Record both = {0x10, 0x27, 5, 0x20, 0x4E, 7, 9, 0x5A};  // 1000 Hz 0.5 s, 2000 Hz 0.7 s, pause 0.9 s
  const Case cases[] = {
      {"tone A alone gets a duration and no pause", empty, {{kTtFreqA, "1000"}},
       {0x10, 0x27, 0x03, 0xFF, 0xFF, 0xFF, 0xFF, 0x5A}, {"1000", "0.3", "", "", ""}},
      {"a frequency below 350 Hz is raised", empty, {{kTtFreqA, "100"}},
       {0xAC, 0x0D, 0x03, 0xFF, 0xFF, 0xFF, 0xFF, 0x5A}, {"350", "0.3", "", "", ""}},
      {"a frequency above 3000 Hz is lowered", empty, {{kTtFreqB, "3000.1"}},
       {0xFF, 0xFF, 0xFF, 0x30, 0x75, 0x03, 0xFF, 0x5A}, {"", "", "3000", "0.3", ""}},
      {"a text that is no number becomes 1500.0", empty, {{kTtFreqA, "12x"}},
       {0x98, 0x3A, 0x03, 0xFF, 0xFF, 0xFF, 0xFF, 0x5A}, {"1500.0", "0.3", "", "", ""}},
      {"tenths of a hertz are kept", empty, {{kTtFreqA, " 1234.5 "}},
       {0x39, 0x30, 0x03, 0xFF, 0xFF, 0xFF, 0xFF, 0x5A}, {"1234.5", "0.3", "", "", ""}},
      {"two tones get a pause", empty, {{kTtFreqA, "1000"}, {kTtFreqB, "2000"}},
       {0x10, 0x27, 0x03, 0x20, 0x4E, 0x03, 0x03, 0x5A}, {"1000", "0.3", "2000", "0.3", "0.3"}},
      {"picked times are stored in tenths", both, {{kTtTimeA, "10.0"}, {kTtPause, "2.0"}},
       {0x10, 0x27, 100, 0x20, 0x4E, 7, 20, 0x5A}, {"1000.0", "10.0", "2000.0", "0.7", "2.0"}},
      {"emptying one tone drops its duration and the pause", both, {{kTtFreqB, ""}},
       {0x10, 0x27, 5, 0xFF, 0xFF, 0xFF, 0xFF, 0x5A}, {"1000.0", "0.5", "", "", ""}},
      {"emptying both tones empties the entry", both, {{kTtFreqA, ""}, {kTtFreqB, ""}},
       {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, {"", "", "", "", ""}},
      {"an entry whose tones show nothing is emptied but keeps its pause byte",
       {0x44, 0x0B, 150, 0x55, 0x79, 150, 30, 0x5A}, {{kTtTimeA, ""}},
       {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 30, 0xFF}, {"", "", "", "", ""}},
  };
  for (const Case& c : cases) {
    for (int entry : {0, 15}) {  // first row of grid 0, last row of grid 1
      image = factoryImage();
      pokeRecord(entry, c.before);
      table->refresh();
      for (const auto& [column, text] : c.edits)
        ASSERT_TRUE(table->edit(entry, column, QString::fromUtf8(text))) << c.what;
      EXPECT_EQ(record(entry), c.after) << c.what << ", entry " << entry;
      EXPECT_EQ(cells(entry), joined(c.shows)) << c.what << ", entry " << entry;
      // The other entries were written back as empty as they were.
      const int other = entry == 0 ? 15 : 0;
      EXPECT_EQ(record(other), (Record{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})) << c.what;
    }
  }
  EXPECT_EQ(log.reportCount(), 0) << logText();
}

TEST_F(TwoTone, RefreshShowsEntriesInUseAndRepairsLongTimes) {
  struct Case {
    const char* what;
    Record stored;
    Cells shows;
    Record repaired;
  };
  const Case cases[] = {
      {"an entry not in use shows nothing", {0x10, 0x27, 3, 0x20, 0x4E, 3, 3, 0x00}, {"", "", "", "", ""},
       {0x10, 0x27, 3, 0x20, 0x4E, 3, 3, 0x00}},
      {"the lowest shown frequency, without tone B", {0x45, 0x0B, 5, 0xFF, 0xFF, 0xFF, 0xFF, 0x5A},
       {"288.5", "0.5", "", "", ""}, {0x45, 0x0B, 5, 0xFF, 0xFF, 0xFF, 0xFF, 0x5A}},
      {"the highest shown frequency", {0x54, 0x79, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x5A}, {"3106.0", "0.0", "", "", ""},
       {0x54, 0x79, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x5A}},
      {"a frequency just out of range shows nothing and its duration stays",
       {0x44, 0x0B, 150, 0x55, 0x79, 150, 30, 0x5A}, {"", "", "", "", ""}, {0x44, 0x0B, 150, 0x55, 0x79, 150, 30, 0x5A}},
      {"a duration above 10.0 s becomes 1.0 s", {0x10, 0x27, 150, 0xFF, 0xFF, 0xFF, 0xFF, 0x5A},
       {"1000.0", "1.0", "", "", ""}, {0x10, 0x27, 10, 0xFF, 0xFF, 0xFF, 0xFF, 0x5A}},
      {"10.0 s is kept", {0x10, 0x27, 100, 0x20, 0x4E, 101, 21, 0x5A}, {"1000.0", "10.0", "2000.0", "1.0", "0.5"},
       {0x10, 0x27, 100, 0x20, 0x4E, 10, 5, 0x5A}},
      {"a pause of 2.0 s is kept", {0x10, 0x27, 3, 0x20, 0x4E, 3, 20, 0x5A}, {"1000.0", "0.3", "2000.0", "0.3", "2.0"},
       {0x10, 0x27, 3, 0x20, 0x4E, 3, 20, 0x5A}},
      {"a pause beside a single tone is not shown nor repaired", {0xFF, 0xFF, 0xFF, 0x20, 0x4E, 3, 30, 0x5A},
       {"", "", "2000.0", "0.3", ""}, {0xFF, 0xFF, 0xFF, 0x20, 0x4E, 3, 30, 0x5A}},
  };
  for (const Case& c : cases) {
    // A redraw after a raw edit shows the same texts but leaves the bytes alone.
    image = factoryImage();
    pokeRecord(9, c.stored);
    table->redraw();
    EXPECT_EQ(cells(9), joined(c.shows)) << c.what << " (redraw)";
    EXPECT_EQ(record(9), c.stored) << c.what << " (redraw)";

    image = factoryImage();
    pokeRecord(9, c.stored);
    table->refresh();
    EXPECT_EQ(cells(9), joined(c.shows)) << c.what;
    EXPECT_EQ(record(9), c.repaired) << c.what;
    // The settings refresh writes the same repairs, and the CLI sees the same texts.
    image = factoryImage();
    pokeRecord(9, c.stored);
    map->InitOpt();
    EXPECT_EQ(record(9), c.repaired) << c.what << " (settings refresh)";
    const QJsonArray row = twoToneJson(image).at(9).toArray();
    std::string json;
    for (const QJsonValue& v : row) json += v.toString().toStdString() + "|";
    EXPECT_EQ(json, joined(c.shows)) << c.what << " (two_tone)";
  }
  EXPECT_EQ(log.reportCount(), 0) << logText();
}

TEST_F(TwoTone, AStoredFrequencyOutsideTheEditRangeIsClampedAtTheNextValidation) {
  pokeRecord(2, {0x45, 0x0B, 5, 0xFF, 0xFF, 0xFF, 0xFF, 0x5A});  // 288.5 Hz
  table->refresh();
  EXPECT_EQ(cells(2), "288.5|0.5||||");
  ASSERT_TRUE(table->edit(7, kTtFreqA, QStringLiteral("1000")));  // any edit validates every entry
  EXPECT_EQ(cells(2), "350|0.5||||");
  EXPECT_EQ(record(2), (Record{0xAC, 0x0D, 5, 0xFF, 0xFF, 0xFF, 0xFF, 0x5A}));
}

TEST_F(TwoTone, EditsOutsideTheTableOrTheListsAreRefused) {
  table->refresh();
  const ByteArray before = image;
  struct Case {
    int entry, column;
    const char* text;
    bool logged;
  };
  const Case cases[] = {
      {0, kTtTimeA, "0.2", false},  // not an entry of the duration list
      {0, kTtTimeA, "abc", false},
      {0, kTtPause, "2.1", false},
      {0, kTtNumber, "5", true},
      {0, 6, "1", true},
      {16, kTtFreqA, "1000", true},
      {-1, kTtFreqA, "1000", true},
  };
  for (const Case& c : cases) {
    const int reports = log.reportCount();
    EXPECT_FALSE(table->edit(c.entry, c.column, QString::fromUtf8(c.text))) << c.entry << "," << c.column;
    EXPECT_EQ(log.reportCount(), reports + (c.logged ? 1 : 0)) << c.entry << "," << c.column;
    if (c.logged) {
      EXPECT_EQ(log.lastTag(), QStringLiteral("frmChMem->vsfgGridTwoTone_Event40"));
      EXPECT_EQ(log.lastCode(), kErrSubscript);
    }
  }
  EXPECT_EQ(byteDiff(before, image), "");
  EXPECT_THROW(table->cell(0, 0), RunError);
}

TEST_F(TwoTone, ValidationStopsSilentlyAtTheEndOfASmallImage) {
  ByteArray small(0x02A3);  // entries 0-3 fit, entry 4 ends past the array
  TwoToneTable t(small, log);
  for (int a = 0x0280; a <= 0x02A3; ++a) small.set(a, 0xFF);
  ASSERT_TRUE(t.edit(1, kTtFreqA, QStringLiteral("1000")));
  EXPECT_EQ(small.at(0x0288), 0x10);
  EXPECT_EQ(small.at(0x028F), 0x5A);
  EXPECT_EQ(small.at(0x02A3), 0xFF) << "entry 4 ends the validation";
  EXPECT_EQ(log.reportCount(), 0) << logText();
  // The CLI's array shows the entries that lie outside as empty.
  const QJsonArray json = twoToneJson(small);
  ASSERT_EQ(json.size(), kTwoToneEntries);
  EXPECT_EQ(json.at(1).toArray().at(0).toString(), QStringLiteral("1000.0"));
  EXPECT_EQ(json.at(15).toArray().at(0).toString(), QString());
}

TEST(TwoToneLists, HeadersAndPickLists) {
  EXPECT_EQ(twoToneHeaders(kLangEng).join(u','), QStringLiteral("No.,A Fre,A Time,B Fre,B Time,Interval"));
  EXPECT_EQ(twoToneHeaders(kLangChs).at(5), QStringLiteral("间隔时间"));
  EXPECT_EQ(twoToneHeaders(kLangCht).at(1), QStringLiteral("A音頻率"));
  const QStringList& d = twoToneDurations();
  ASSERT_EQ(d.size(), 96);
  EXPECT_EQ(d.first(), QStringLiteral("0.3"));
  EXPECT_EQ(d.at(94), QStringLiteral("9.7"));
  EXPECT_EQ(d.last(), QStringLiteral("10.0"));
  const QStringList& p = twoTonePauses();
  ASSERT_EQ(p.size(), 21);
  EXPECT_EQ(p.first(), QStringLiteral("0.0"));
  EXPECT_EQ(p.at(19), QStringLiteral("1.9"));
  EXPECT_EQ(p.last(), QStringLiteral("2.0"));
}

}  // namespace
}  // namespace zr
