// The DTMF, PTT ID, two-tone timing and further-function rows of the settings
// map: what the refresh shows and repairs, what each edit writes (the digit
// duration that also sets the interval, the stun code that enables the stun
// type, the tail tone volume on the volume ladder, the emergency channel and
// the radio ID nibbles), and the frames every row sits in.
#include <functional>

#include "SettingsFixture.h"
#include "editors/SettingsRulesFurther.h"

namespace zr {
namespace {


const RefreshCase kShowCases[] = {
    {"digit duration below 80 ms becomes 110 ms", {{0x03DA, 3}}, "cboCodeContiTime", R"({"position":3,"text":"110"})",
     {{0x03DA, 10}}},
    {"digit duration above 2430 ms becomes 510 ms", {{0x03DA, 245}}, "cboCodeContiTime",
     R"({"position":43,"text":"510"})", {{0x03DA, 50}}},
    {"digit duration 2430 ms is kept", {{0x03DA, 242}}, "cboCodeContiTime", R"({"position":235,"text":"2430"})", {}},
    {"digit interval 80 ms is kept", {{0x03DB, 7}}, "cboCodeSpaceTime", R"({"position":0,"text":"80"})", {}},
    {"digit interval 0 becomes 110 ms", {{0x03DB, 0}}, "cboCodeSpaceTime", R"({"position":3,"text":"110"})",
     {{0x03DB, 10}}},
    {"group code E is off", {{0x0116, 0x45}}, "cboDtmfGrpCode", R"({"position":0,"text":"Off"})", {{0x0116, 0x00}}},
    {"group code #", {{0x0116, 0x23}}, "cboDtmfGrpCode", R"({"position":6,"text":"#"})", {}},
    {"stun group code *", {{0x03DD, 0x2A}}, "cboStunGrpCode", R"({"position":5,"text":"*"})", {}},
    {"stun group code 1 is off", {{0x03DD, 0x01}}, "cboStunGrpCode", R"({"position":0,"text":"Off"})", {{0x03DD, 0x00}}},
    {"call alert continuous", {{0x0118, 1}}, "cboDtmfCallAlarm", R"({"position":1,"text":"Continuous"})", {}},
    {"call alert first glint", {{0x0118, 2}}, "cboDtmfCallAlarm", R"({"position":2,"text":"Glint10s"})", {}},
    {"call alert last glint", {{0x0118, 255}}, "cboDtmfCallAlarm", R"({"position":255,"text":"Glint2540s"})", {}},
    {"auto reset off", {{0x0117, 0}}, "cboAutoRstTimer", R"({"position":0,"text":"Off"})", {}},
    {"auto reset 255s", {{0x0117, 255}}, "cboAutoRstTimer", R"({"position":255,"text":"255s"})", {}},
    {"first digit delay 5100 ms", {{0x03D9, 255}}, "cboPreCarTime", R"({"position":255,"text":"5100"})", {}},
    {"PTT ID pause 7s", {{0x03DC, 7}}, "cboPttIdPauseTime", R"({"position":7,"text":"7s"})", {}},
    {"stun type reads bit 0", {{0x01FA, 0xFF}}, "cboDtmfCloseSort", R"({"position":1,"text":"Tx/Rx Inhibit"})", {}},
    {"ID code shows only its own ten positions",
     {{0x0120, '1'}, {0x0121, '2'}, {0x0122, '3'}, {0x012A, '9'}, {0x012B, '9'}}, "txtDtmfIdCode",
     R"({"text":"123"})", {}},
    {"end-of-transmission code of sixteen digits",
     {{0x0150, '1'}, {0x0151, '2'}, {0x0152, '3'}, {0x0153, '4'}, {0x0154, '5'}, {0x0155, '6'}, {0x0156, '7'},
      {0x0157, '8'}, {0x0158, '9'}, {0x0159, '0'}, {0x015A, 'A'}, {0x015B, 'B'}, {0x015C, 'C'}, {0x015D, 'D'},
      {0x015E, '*'}, {0x015F, '#'}},
     "txtPttEot", R"({"text":"1234567890ABCD*#"})", {}},
    {"stun code joins its two areas", {{0x01E0, '1'}, {0x01E7, '8'}, {0x01E8, '5'}, {0x01F8, '9'}, {0x01F9, '0'}},
     "txtDtmfCloseCode", R"({"text":"1890"})", {}},
    {"last autodial code", {{0x0270, '*'}, {0x0271, '0'}, {0x027F, '#'}}, "txtAutoMem(7)", R"({"text":"*0#"})", {}},
    {"two-tone first digit delay", {{0x03E4, 1}}, "cboTtPreCarTime", R"({"position":1,"text":"20"})", {}},
    {"two-tone auto reset off", {{0x03DE, 0}}, "cboTtAutoRstTimer", R"({"position":0,"text":"Off"})", {}},
    {"emergency channel fixed 6", {{0x03E3, 0x05}}, "cboAlarmCh", R"({"position":6,"text":"Fixed CH: 6"})", {}},
    {"emergency channel selected", {{0x03E3, 0x15}}, "cboAlarmCh", R"({"position":0,"text":"Selected CH"})", {}},
    {"emergency channel ignores bits 5-7", {{0x03E3, 0xEF}}, "cboAlarmCh", R"({"position":16,"text":"Fixed CH: 16"})",
     {}},
    {"radio squelch 0 becomes 19", {{0x036E, 0x00}}, "cboRadioSql", R"({"position":19,"text":"19"})", {{0x036E, 153}}},
    {"radio squelch 166 is 32", {{0x036E, 166}}, "cboRadioSql", R"({"position":32,"text":"32"})", {}},
    {"radio squelch 167 becomes 19", {{0x036E, 167}}, "cboRadioSql", R"({"position":19,"text":"19"})", {{0x036E, 153}}},
    {"radio volume 255 becomes 15", {{0x036F, 0xFF}}, "cboRadioVolume", R"({"position":15,"text":"15"})",
     {{0x036F, 175}}},
    {"radio volume 159 becomes 15", {{0x036F, 159}}, "cboRadioVolume", R"({"position":15,"text":"15"})",
     {{0x036F, 175}}},
    {"radio volume 160 is 0", {{0x036F, 160}}, "cboRadioVolume", R"({"position":0,"text":"0"})", {}},
    {"volume level 12 becomes 10", {{0x03E6, 12}}, "cboTwoWayVolumeLevel", R"({"position":10,"text":"10"})",
     {{0x03E6, 10}}},
    {"volume level 0 is off", {{0x03E6, 0}}, "cboTwoWayVolumeLevel", R"({"position":0,"text":"Off"})", {}},
    {"pre-alert 11 becomes off", {{0x0131, 11}}, "cboPreTot", R"({"position":0,"text":"Off"})", {{0x0131, 0}}},
    {"pre-alert 10s", {{0x0131, 10}}, "cboPreTot", R"({"position":10,"text":"10s"})", {}},
    {"tail tone volume is the ladder position of its byte", {{0x03E0, 69}}, "cboDtmf2ToneVol",
     R"({"position":63,"text":"63"})", {}},
    {"tail tone volume 255", {{0x03E0, 255}}, "cboDtmf2ToneVol", R"({"position":255,"text":"255"})", {}},
    {"channel number field reads bits 4-7", {{0x0368, 0xF5}}, "cboSaveChNo", R"({"position":15,"text":"16"})", {}},
    {"radio ID digit 0 off", {{0x03E9, 0x1C}}, "cboRadioId(0)", R"({"position":0,"text":"Off"})", {}},
    {"radio ID digit 1 in the high nibble", {{0x03E9, 0x1C}}, "cboRadioId(1)", R"({"position":1,"text":"1"})", {}},
    {"radio ID digit 5", {{0x03EB, 0x54}}, "cboRadioId(5)", R"({"position":5,"text":"5"})", {}},
    {"radio ID nibble A shows off and stays", {{0x03EA, 0x3A}}, "cboRadioId(2)", R"({"position":0,"text":"Off"})", {}},
    {"radio ID nibble 0 shows off", {{0x03EA, 0x30}}, "cboRadioId(2)", R"({"position":0,"text":"Off"})", {}},
    {"radio function: a set bit is disabled", {{0x0367, 0xAD}}, "chkRadioFuncEnable", R"({"checked":false})", {}},
    {"radio function: a clear bit is enabled", {{0x0367, 0x8D}}, "chkRadioFuncEnable", R"({"checked":true})", {}},
    {"switch lamp tone bit 7", {{0x0367, 0x0D}}, "chkSwiLampTone", R"({"checked":false})", {}},
    {"lights at power-on bit 3", {{0x036D, 0x08}}, "chkRedGreenLig", R"({"checked":true})", {}},
    {"radio ID announcement bit 1", {{0x036A, 0x02}}, "chkAnRadioId", R"({"checked":true})", {}},
    {"PTT ID no pause bit 5", {{0x036A, 0x20}}, "chkNoRespPttIdNoPause", R"({"checked":true})", {}},
    {"call alert tone bit 4", {{0x036A, 0x00}}, "chkDtmfCallAlarmTone", R"({"checked":false})", {}},
    {"DTMF side tone bit 0", {{0x0115, 0xFE}}, "chkDtmfMoni", R"({"checked":false})", {}},
    {"two-tone side tone bit 0", {{0x03DF, 0x00}}, "chkTtBeep", R"({"checked":false})", {}},
    {"second info line", {{0x0320, 'O'}, {0x0322, 'K'}}, "txtInfo(2)", R"({"text":"OK"})", {}},
};

class FurtherRefresh : public SettingsFixture, public ::testing::WithParamInterface<RefreshCase> {};

TEST_P(FurtherRefresh, ShowsTheFieldAndWritesOnlyItsRepairs) { checkRefresh(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Settings, FurtherRefresh, ::testing::ValuesIn(kShowCases));

struct ChangeCase {
  const char* what;
  Bytes pokes;  // before the refresh
  std::function<bool(SettingsMap&)> edit;
  Bytes writes;  // the only bytes the edit may change
  std::vector<std::pair<const char*, const char*>> shows;
};

void PrintTo(const ChangeCase& c, std::ostream* os) { *os << c.what; }

// `count` bytes from `from`: the codes given, then 0xFF.
Bytes code(int from, std::vector<int> codes, int count) {
  Bytes b;
  codes.resize(size_t(count), 0xFF);
  for (int k = 0; k < count; ++k) b.push_back({from + k, codes[size_t(k)]});
  return b;
}
Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const ChangeCase kChangeCases[] = {
    {"digit duration 200 ms sets the interval too", {}, pick("cboCodeContiTime", 12), {{0x03DA, 19}, {0x03DB, 19}},
     {{"cboCodeSpaceTime", R"({"position":12,"text":"200"})"}}},
    {"digit interval alone", {}, pick("cboCodeSpaceTime", 2), {{0x03DB, 9}},
     {{"cboCodeContiTime", R"({"position":2,"text":"100"})"}}},
    {"PTT ID begin code is upper-cased", {}, type("txtPttBot", "12ab*#"),
     code(0x0140, {0x31, 0x32, 0x41, 0x42, 0x2A, 0x23}, 16), {{"txtPttBot", R"({"text":"12AB*#"})"}}},
    {"ID code keeps digits only", {}, type("txtDtmfIdCode", "12A"), code(0x0120, {0x31, 0x32}, 10),
     {{"txtDtmfIdCode", R"({"text":"12"})"}}},
    {"stun code of nine digits spans both areas", {}, type("txtDtmfCloseCode", "123456789"),
     code(0x01E0, {0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38}, 8) + Bytes{{0x01F8, 0x39}, {0x01F9, 0xFF}},
     {{"txtDtmfCloseCode", R"({"text":"123456789"})"}}},
    {"autodial code 4", {}, type("txtAutoMem(3)", "*0#e"), code(0x0230, {0x2A, 0x30, 0x23}, 16),
     {{"txtAutoMem(3)", R"({"text":"*0#"})"}}},
    {"stun type Tx/Rx sets bit 0 only", {{0x01FA, 0xF0}}, pick("cboDtmfCloseSort", 1), {{0x01FA, 0xF1}}, {}},
    {"group code #", {}, pick("cboDtmfGrpCode", 6), {{0x0116, 0x23}}, {}},
    {"stun group code D", {}, pick("cboStunGrpCode", 4), {{0x03DD, 0x44}}, {}},
    {"call alert Glint10s", {}, pick("cboDtmfCallAlarm", 2), {{0x0118, 2}}, {}},
    {"PTT ID no pause", {}, tick("chkNoRespPttIdNoPause", true), {{0x036A, 0xFC}}, {}},
    {"emergency channel fixed 16 keeps bits 5-7", {{0x03E3, 0xF5}}, pick("cboAlarmCh", 16), {{0x03E3, 0xEF}}, {}},
    {"emergency channel selected sets bit 4 only", {{0x03E3, 0x05}}, pick("cboAlarmCh", 0), {{0x03E3, 0x15}}, {}},
    {"tail tone volume stores the ladder byte", {}, pick("cboDtmf2ToneVol", 64), {{0x03E0, 83}},
     {{"cboDtmf2ToneVol", R"({"position":64,"text":"64"})"}}},
    {"tail tone volume position 63", {}, pick("cboDtmf2ToneVol", 63), {{0x03E0, 69}}, {}},
    {"radio ID off in the low nibble", {{0x03E9, 0x11}}, pick("cboRadioId(0)", 0), {{0x03E9, 0x1C}}, {}},
    {"radio ID digit in the high nibble", {{0x03EA, 0xCA}}, pick("cboRadioId(3)", 3), {{0x03EA, 0x3A}},
     {{"cboRadioId(2)", R"({"position":0,"text":"Off"})"}}},
    {"radio function enabled clears bit 5", {{0x0367, 0xAD}}, tick("chkRadioFuncEnable", true), {{0x0367, 0x8D}}, {}},
    {"radio function disabled sets bit 5", {}, tick("chkRadioFuncEnable", false), {{0x0367, 0xAD}}, {}},
    {"radio squelch 0 stores 134", {}, pick("cboRadioSql", 0), {{0x036E, 134}}, {}},
    {"radio volume 15 stores 175", {{0x036F, 170}}, pick("cboRadioVolume", 15), {{0x036F, 175}}, {}},
    {"channel number field keeps the power-on tone", {{0x0368, 0xF5}}, pick("cboSaveChNo", 0), {{0x0368, 0x05}},
     {{"cboPwrOnTone", R"({"position":5,"text":"Tone-5"})"}}},
    {"pre-alert 3s", {}, pick("cboPreTot", 3), {{0x0131, 3}}, {}},
    {"volume level off", {}, pick("cboTwoWayVolumeLevel", 0), {{0x03E6, 0}}, {}},
    {"two-tone first digit delay", {}, pick("cboTtPreCarTime", 255), {{0x03E4, 255}}, {}},
    {"two-tone side tone off", {}, tick("chkTtBeep", false), {{0x03DF, 0x00}}, {}},
    {"second info line", {}, type("txtInfo(2)", "Hi"), {{0x0320, 'H'}, {0x0322, 'i'}},
     {{"txtInfo(2)", R"({"text":"Hi"})"}, {"txtInfo(1)", R"({"text":""})"}}},
};

class FurtherEdit : public SettingsFixture, public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(FurtherEdit, WritesItsBytesAndTheNextRefreshShowsThem) { checkEdit(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Settings, FurtherEdit, ::testing::ValuesIn(kChangeCases));

TEST_F(SettingsFixture, RadioIdDigitsWriteTheirNibbles) {
  map->InitOpt();  // factory: every digit "Off" (0xCC 0xCC 0xCC)
  const int digits[] = {0, 1, 2, 3, 4, 5};
  for (int i = 0; i < kRadioIdDigits; ++i) ASSERT_TRUE(map->setPosition(radioIdName(i), digits[i]));
  EXPECT_EQ(image.at(0x03E9), 0x1C);
  EXPECT_EQ(image.at(0x03EA), 0x32);
  EXPECT_EQ(image.at(0x03EB), 0x54);
}

TEST_F(SettingsFixture, StunCodeOfThreeOrMoreCharactersEnablesTheStunType) {
  map->InitOpt();
  EXPECT_FALSE(enabled("cboDtmfCloseSort")) << "factory: no stun code";
  const std::pair<const char*, bool> steps[] = {{"12", false}, {"123", true}, {"1234567890", true}, {"", false},
                                                {"1x2", false}, {"1 2", true}};
  for (const auto& [typed, on] : steps) {
    ASSERT_TRUE(map->setText(QStringLiteral("txtDtmfCloseCode"), QString::fromUtf8(typed)));
    EXPECT_EQ(enabled("cboDtmfCloseSort"), on) << '"' << typed << '"';
  }
  // A refresh settles it from the stored code alone.
  poke({{0x01E0, '1'}, {0x01E1, '2'}, {0x01E2, 0xFF}, {0x01F8, '3'}});
  map->InitOpt();
  EXPECT_TRUE(enabled("cboDtmfCloseSort"));
  poke({{0x01F8, 0xFF}});
  map->InitOpt();
  EXPECT_FALSE(enabled("cboDtmfCloseSort"));
}

TEST_F(SettingsFixture, FurtherFieldsCaptionsAndFrames) {
  const std::pair<const char*, const char*> captions[] = {
      {"cmdTwoWayVolSet", ">>"},
      {"cmdPttIdPauseChSet", "PTT ID Pause In Channel Set"},
      {"txtInfo(2)", "信息2"},
      {"txtAutoMem(0)", "1"},
      {"txtAutoMem(7)", "8"},
      {"cboRadioId(0)", "Radio ID"},
      {"cboDtmf2ToneVol", "Tail Tone Volume"},
      {"chkNoRespPttIdNoPause", "No Rx Respond: PTT ID No Pause"},
      {"cboCodeContiTime", "Digit Last Time[ms]"},
      {"chkTtBeep", "Side Tone"},
  };
  for (const auto& [field, caption] : captions) {
    const FieldDef* d = map->def(QString::fromUtf8(field));
    ASSERT_NE(d, nullptr) << field;
    EXPECT_EQ(map->caption(*d).toStdString(), caption) << field;
  }

  // Every row sits in a frame the page window knows, and every frame hangs
  // from a tab set or a known frame.
  QSet<QString> frames;
  for (const FrameDef& f : settingsFrames()) frames.insert(f.name);
  for (const FrameDef& f : settingsFrames()) {
    const bool tabSet = f.parent == QStringLiteral("sstabSetMode") || f.parent == QStringLiteral("sstabMoreFunc");
    EXPECT_TRUE(tabSet || frames.contains(f.parent)) << f.name.toStdString();
  }
  for (const FieldDef& d : map->fields()) EXPECT_TRUE(frames.contains(d.frame)) << d.name.toStdString();
  const std::pair<const char*, const char*> placed[] = {
      {"txtPttBot", "fraDtmfEnc"},        {"txtDtmfIdCode", "fraDtmfDec"},   {"txtDtmfCloseCode", "fraStun"},
      {"txtAutoMem(0)", "fraAutoDialList"}, {"cboPttIdPauseTime", "fraMoreFunc"}, {"chkRadioFuncEnable", "fraSysSet2"},
      {"txtInfo(2)", "fraSysSet2"},        {"cboTtAutoRstTimer", "fraTwoTone"}, {"cboAlarmCh", "fraMoreFunc"},
  };
  for (const auto& [field, frame] : placed)
    EXPECT_EQ(map->def(QString::fromUtf8(field))->frame.toStdString(), frame) << field;
}

TEST_F(SettingsFixture, FactoryImageShowsItsDtmfAndFurtherSettings) {
  map->InitOpt();
  const std::pair<const char*, const char*> expected[] = {
      {"cboCodeContiTime", R"({"position":2,"text":"100"})"},
      {"cboPreCarTime", R"({"position":15,"text":"300"})"},
      {"cboAutoRstTimer", R"({"position":10,"text":"10s"})"},
      {"cboDtmf2ToneVol", R"({"position":159,"text":"159"})"},
      {"cboAlarmCh", R"({"position":0,"text":"Selected CH"})"},
      {"cboRadioSql", R"({"position":19,"text":"19"})"},
      {"cboRadioId(5)", R"({"position":0,"text":"Off"})"},
      {"chkRadioFuncEnable", R"({"checked":true})"},
      {"txtPttBot", R"({"text":""})"},
      {"txtInfo(2)", R"({"text":""})"},
  };
  for (const auto& [field, shows] : expected) EXPECT_EQ(shown(field), shows) << field;
  EXPECT_EQ(byteDiff(factoryImage(), image), "");
}

}  // namespace
}  // namespace zr
