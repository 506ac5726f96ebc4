// The refresh of every settings field from the image: what each field shows,
// which stored values it repairs (and that it writes nothing else), the
// enabled states it settles, the VOX comparison table and its checks, and the
// factory image, which needs no repair at all.
#include "SettingsFixture.h"

namespace zr {
namespace {


// The default VOX values as the repairs of a table without its valid mark.
Bytes voxDefaultsWritten() {
  Bytes b;
  for (int n = 1; n <= kVoxCmpLevels; ++n) b.push_back({kVoxCmpBase + n, voxCmpDefaults()[size_t(n - 1)]});
  b.push_back({kVoxCmpValidAddr, kVoxCmpValid});
  return b;
}

const RefreshCase kRefreshCases[] = {
    {"time-out above 18 becomes 60s", {{0x0130, 25}}, "cboTot", R"({"position":4,"text":"60s"})", {{0x0130, 4}}},
    {"time-out 18 is kept", {{0x0130, 18}}, "cboTot", R"({"position":18,"text":"270s"})", {}},
    {"time-out 0 is off", {{0x0130, 0}}, "cboTot", R"({"position":0,"text":"Off"})", {}},
    {"voice language above 2 is off", {{0x012F, 3}}, "cboAnVoice", R"({"position":0,"text":"Off"})", {{0x012F, 0}}},
    {"squelch above 9 becomes 5", {{0x0134, 10}}, "cboSql", R"({"position":5,"text":"5"})", {{0x0134, 5}}},
    {"power-on tone reads bits 0-2 only", {{0x0368, 0xF5}}, "cboPwrOnTone", R"({"position":5,"text":"Tone-5"})", {}},
    {"save mode 0 becomes 170", {{0x0369, 0}}, "cboSaveMode", R"({"position":8,"text":"1 - 10"})", {{0x0369, 170}}},
    {"save mode 171 becomes 170", {{0x0369, 171}}, "cboSaveMode", R"({"position":8,"text":"1 - 10"})", {{0x0369, 170}}},
    {"save mode 141 becomes 170", {{0x0369, 141}}, "cboSaveMode", R"({"position":8,"text":"1 - 10"})", {{0x0369, 170}}},
    {"save mode 142 is the first ratio", {{0x0369, 142}}, "cboSaveMode", R"({"position":0,"text":"1 - 2"})", {}},
    {"save mode 145 rounds up to 146", {{0x0369, 145}}, "cboSaveMode", R"({"position":1,"text":"1 - 3"})", {}},
    {"save mode 162 is 1 - 9", {{0x0369, 162}}, "cboSaveMode", R"({"position":7,"text":"1 - 9"})", {}},
    {"save mode 163 is 1 - 10", {{0x0369, 163}}, "cboSaveMode", R"({"position":8,"text":"1 - 10"})", {}},
    {"VOX function reads bit 0", {{0x0139, 0xFE}}, "cboVoxFunc", R"({"position":0,"text":"Off"})", {}},
    {"VOX gain above 10 is off", {{0x013A, 11}}, "cboVoxLevel", R"({"position":0,"text":"Off"})", {{0x013A, 0}}},
    {"VOX delay above 5 becomes 1.5s", {{0x013B, 6}}, "cboVoxDly", R"({"position":3,"text":"1.5s"})", {{0x013B, 3}}},
    {"SK1 long shortcut: scan", {{0x0361, 3}}, "cboSk1Long", R"({"position":1,"text":"2--Scan"})", {}},
    {"SK1 long shortcut: local alarm", {{0x0361, 15}, {0x0367, 0x8D}}, "cboSk1Long",
     R"({"position":2,"text":"3--Local Alarm"})", {}},
    {"SK1 long shortcut: distance alarm", {{0x0361, 15}, {0x0367, 0x8F}}, "cboSk1Long",
     R"({"position":3,"text":"4--Distance Alarm"})", {}},
    {"SK1 long shortcut: battery", {{0x0361, 11}}, "cboSk1Long", R"({"position":4,"text":"5--Battery Volume"})", {}},
    {"SK1 long shortcut: other codes show off and stay", {{0x0361, 5}}, "cboSk1Long",
     R"({"position":0,"text":"1--Off"})", {}},
    {"SK1 long list shows the same byte", {{0x0361, 5}}, "listSk1Long", R"({"position":5,"text":"6--Leave Network"})", {}},
    {"tail mode 1 leaves the box unchecked", {{0x036B, 0x01}}, "chkTailDel", R"({"checked":false})", {}},
    {"tail mode frequency checks the box", {{0x036B, 0x08}}, "chkTailDel", R"({"checked":true})", {}},
    {"tail byte: lowest set bit wins", {{0x036B, 0x0A}}, "cboTailDel", R"({"position":1,"text":"2--180 Degree"})", {}},
    {"tail byte: bit 7 alone", {{0x036B, 0x80}}, "cboTailDel", R"({"position":4,"text":"5--120 + Freq"})", {}},
    {"tail byte: none is off", {{0x036B, 0x00}}, "cboTailDel", R"({"position":7,"text":"8--Off"})", {}},
    {"short press code 9 becomes off", {{0x0360, 9}}, "listSk1Short", R"({"position":0,"text":"1--Off"})", {{0x0360, 0}}},
    {"short press code 12 sits at 11", {{0x0360, 12}}, "listSk1Short",
     R"({"position":11,"text":"13--Annunciation CH No"})", {}},
    {"short press code 18 is last", {{0x0360, 18}}, "listSk1Short", R"({"position":17,"text":"19--Adjust Vox Level"})", {}},
    {"short press above 18 becomes off", {{0x0362, 19}}, "listSk2Short", R"({"position":0,"text":"1--Off"})", {{0x0362, 0}}},
    {"long press above 18 becomes off", {{0x0363, 19}}, "listSk2Long", R"({"position":0,"text":"1--Off"})", {{0x0363, 0}}},
    {"long press 9 is kept", {{0x0361, 9}}, "listSk1Long", R"({"position":9,"text":"10--Squelch Off Momentary"})", {}},
    {"hold time in 50 ms steps", {{0x0365, 1}}, "cboSk1LongTime", R"({"position":1,"text":"0.05s"})", {}},
    {"hold time 255", {{0x0366, 255}}, "cboSk2LongTime", R"({"position":255,"text":"12.75s"})", {}},
    {"VOX value above 160 becomes 160", {{0x0196, 200}}, "cboVoxCmpDat(3)", R"({"position":160,"text":"160"})",
     {{0x0196, 160}}},
    {"VOX table without its mark gets the defaults",
     {{0x019E, 0x00}, {0x0194, 7}, {0x0198, 7}, {0x019D, 200}}, "cboVoxCmpDat(1)", R"({"position":150,"text":"150"})",
     voxDefaultsWritten()},
    {"VOX transmit inhibit reads bit 0", {{0x0138, 0x00}}, "cboVoxRxForbid", R"({"position":0,"text":"Off"})", {}},
    {"priority mode above 2 is none", {{0x0160, 3}}, "cboScanPriChSort", R"({"position":0,"text":"None"})", {{0x0160, 0}}},
    {"priority channel above 16 is off", {{0x0161, 17}}, "cboPriCh", R"({"position":0,"text":"Off"})", {{0x0161, 0}}},
    {"priority channel 16", {{0x0161, 16}}, "cboPriCh", R"({"position":16,"text":"16"})", {}},
    {"revert channel above 3", {{0x0164, 4}}, "cboScanTxMode", R"({"position":0,"text":"Selected"})", {{0x0164, 0}}},
    {"dropout delay 251 becomes 3s", {{0x0165, 251}}, "cboScanRxDly", R"({"position":3,"text":"3s"})", {{0x0165, 3}}},
    {"dropout delay 250 is kept", {{0x0165, 250}}, "cboScanRxDly", R"({"position":250,"text":"250s"})", {}},
    {"dwell time 255 becomes 3s", {{0x0167, 255}}, "cboScanTxDly", R"({"position":3,"text":"3s"})", {{0x0167, 3}}},
    {"low battery alarm 255 is 510s", {{0x0364, 255}}, "cboLowBatAlarmTimer", R"({"position":255,"text":"510s"})", {}},
    {"low battery tone kind bit 7", {{0x036D, 0xDA}}, "cboLowPwrToneSort", R"({"position":1,"text":"Tone 2"})", {}},
    {"alarm type bit 1", {{0x0367, 0x8F}}, "cboAlarmSort", R"({"position":1,"text":"Local And Distance"})", {}},
    {"flag reads its own bit only", {{0x0136, 0xFE}}, "chkBeep", R"({"checked":false})", {}},
    {"flag set among clear bits", {{0x036C, 0x40}}, "chkLowBatTone", R"({"checked":true})", {}},
    {"monitor end tone shows its own bit", {{0x036D, 0x5B}, {0x0367, 0x8D}}, "chkMoniTxEndTone", R"({"checked":false})", {}},
    {"info line decodes character codes", {{0x0300, 72}, {0x0302, 105}, {0x0304, 0}, {0x0306, 0xE8}, {0x0307, 0x03}},
     "txtInfo(1)", "{\"text\":\"Hi \xE4\xB8\x80\"}", {}},
};

class Refresh : public SettingsFixture, public ::testing::WithParamInterface<RefreshCase> {};

TEST_P(Refresh, ShowsTheFieldAndWritesOnlyItsRepairs) { checkRefresh(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Settings, Refresh, ::testing::ValuesIn(kRefreshCases));

TEST_F(SettingsFixture, RefreshSettlesEnabledStatesFromTheShownValues) {
  struct Case {
    const char* what;
    Bytes pokes;
    std::vector<std::pair<const char*, bool>> enabled;
  };
  const Case cases[] = {
      {"low battery alarm off", {{0x0364, 0}},
       {{"cboLowPwrToneSort", false}, {"chkLowBatAn", false}, {"chkLowBatTone", false}}},
      {"low battery alarm on", {{0x0364, 1}},
       {{"cboLowPwrToneSort", true}, {"chkLowBatAn", true}, {"chkLowBatTone", true}}},
      {"battery save off", {{0x0135, 0xFE}}, {{"cboSaveMode", false}}},
      {"battery save on", {{0x0135, 0x01}}, {{"cboSaveMode", true}}},
      {"priority fixed", {{0x0160, 1}}, {{"cboPriCh", true}}},
      {"priority selected", {{0x0160, 2}}, {{"cboPriCh", false}}},
      {"priority none", {{0x0160, 0}}, {{"cboPriCh", false}}},
      {"tail elimination off", {{0x036B, 0}}, {{"chkNoCdEncTxFreTail", false}, {"chkNoCdEncRxFreTail", false}}},
      {"tail elimination on", {{0x036B, 0x02}}, {{"chkNoCdEncTxFreTail", true}, {"chkNoCdEncRxFreTail", true}}},
      {"transmit end tone on", {{0x036D, 0x5B}}, {{"chkMoniTxEndTone", true}}},
      {"transmit end tone off", {{0x036D, 0x5A}}, {{"chkMoniTxEndTone", false}}},
  };
  for (const Case& c : cases) {
    image = factoryImage();
    poke(c.pokes);
    map->InitOpt();
    for (const auto& [field, on] : c.enabled) EXPECT_EQ(enabled(field), on) << c.what << ": " << field;
  }
}

TEST_F(SettingsFixture, FactoryImageRefreshesWithoutRepairAndShowsItsSettings) {
  map->InitOpt();
  EXPECT_EQ(byteDiff(factoryImage(), image), "");
  EXPECT_EQ(log.reportCount(), 0) << logText();
  map->voxCheck();
  EXPECT_EQ(byteDiff(factoryImage(), image), "") << "the VOX check after a load";

  const QJsonObject json = map->settingsJson();
  int fields = 0;
  for (const FieldDef& d : map->fields()) {
    if (d.widget == Widget::Button) {
      EXPECT_FALSE(json.contains(d.name)) << d.name.toStdString();
      continue;
    }
    ++fields;
    ASSERT_TRUE(json.contains(d.name)) << d.name.toStdString();
    if (d.widget == Widget::List) {
      EXPECT_GE(json.value(d.name).toObject().value(QStringLiteral("position")).toInt(), 0) << d.name.toStdString();
    }
  }
  EXPECT_EQ(json.size(), fields);

  const std::pair<const char*, const char*> expected[] = {
      {"cboTot", R"({"position":4,"text":"60s"})"},
      {"cboAnVoice", R"({"position":2,"text":"English"})"},
      {"cboSaveMode", R"({"position":2,"text":"1 - 4"})"},
      {"cboSk1Long", R"({"position":1,"text":"2--Scan"})"},
      {"listSk1Short", R"({"position":8,"text":"9--Squelch Off"})"},
      {"listSk2Long", R"({"position":11,"text":"5--Battery Volume"})"},
      {"cboSk1LongTime", R"({"position":30,"text":"1.50s"})"},
      {"cboVoxCmpDat(10)", R"({"position":35,"text":"35"})"},
      {"cboLowBatAlarmTimer", R"({"position":5,"text":"10s"})"},
      {"chkTailDel", R"({"checked":true})"},
      {"chkBeep", R"({"checked":true})"},
      {"chkTxEndTone", R"({"checked":false})"},
      {"txtInfo(1)", R"({"text":""})"},
  };
  for (const auto& [field, shows] : expected) EXPECT_EQ(shown(field), shows) << field;
  EXPECT_EQ(map->state(QStringLiteral("cboVoxCmpDat(1)"))->toolTip, QStringLiteral("1941mv"));
}

// The lists are built once per language and reused by later refreshes; a
// refresh after a language switch shows the new language's entries.
TEST_F(SettingsFixture, EachRefreshShowsTheListsOfTheCurrentLanguage) {
  const auto entriesOf = [](const SettingsMap& m) {
    std::vector<QStringList> all;
    for (const FieldDef& d : m.fields()) all.push_back(m.state(d.name)->entries);
    return all;
  };
  map->InitOpt();
  const std::vector<QStringList> english = entriesOf(*map);
  for (int lang : {kLangChs, kLangEng, kLangCht}) {
    SCOPED_TRACE(lang);
    int code = lang;
    text.LoadSoftFace(code);
    map->InitOpt();
    SettingsMap fresh(image, text, chars, log);
    fresh.InitOpt();
    EXPECT_EQ(entriesOf(*map), entriesOf(fresh));
    EXPECT_EQ(entriesOf(*map) == english, lang == kLangEng);
  }
  EXPECT_EQ(log.reportCount(), 0) << logText();
}

TEST_F(SettingsFixture, VoxCheckAfterALoadRestoresTheDefaultsWhenTheShownEndsAreOff) {
  // The check reads what levels 1 and 10 show after the refresh.
  struct Case {
    const char* what;
    Bytes pokes;
    bool restores;
  };
  const Case cases[] = {
      {"level 1 at 19", {{0x0194, 19}}, true},
      {"level 1 at 20", {{0x0194, 20}}, false},
      {"level 1 at 200 is limited to 160 first", {{0x0194, 200}}, false},
      {"level 10 at 160", {{0x019D, 160}}, false},
      {"level 10 at 0", {{0x019D, 0}}, false},
  };
  for (const Case& c : cases) {
    image = factoryImage();
    poke(c.pokes);
    poke({{0x0198, 99}});  // a middle level only the default action changes
    map->InitOpt();
    map->voxCheck();
    EXPECT_EQ(image.at(0x0198), c.restores ? 110 : 99) << c.what;
    if (c.restores) {
      EXPECT_EQ(byteDiff(factoryImage(), image), "") << c.what;
    }
  }

  // Values picked above the refresh limit are still seen by a check that
  // runs before the next refresh.
  for (int level : {1, 10}) {
    image = factoryImage();
    map->InitOpt();
    poke({{0x0198, 99}});
    ASSERT_TRUE(map->setPosition(voxCmpName(level), 161));
    map->voxCheck();
    EXPECT_EQ(byteDiff(factoryImage(), image), "") << "level " << level << " at 161";
  }
}

TEST_F(SettingsFixture, RefreshFailureIsLoggedAndEndsTheRefresh) {
  ByteArray small(0x0200);  // ends before the side-key bytes
  SettingsMap m(small, text, chars, log);
  small.set(0x0130, 25);
  m.InitOpt();
  EXPECT_EQ(log.lastTag(), QStringLiteral("frmChMem->InitOpt:"));
  EXPECT_EQ(log.lastCode(), kErrSubscript);
  EXPECT_EQ(log.reportCount(), 1);
  // Fields before the failing one were refreshed (and repaired)...
  EXPECT_EQ(m.state(QStringLiteral("cboTot"))->position, 4);
  EXPECT_EQ(small.at(0x0130), 4);
  // ...the ones after it keep what they showed.
  EXPECT_EQ(m.state(QStringLiteral("cboScanTxDly"))->position, -1);
}

}  // namespace
}  // namespace zr
