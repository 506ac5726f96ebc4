// The one edit path of the settings fields: each edit writes its bytes at
// once and nothing else, linked fields follow through their own handlers,
// views of a shared byte agree, enabling follows the leaders, and every list
// position and check state the fields offer survives the next refresh.
#include <functional>

#include "SettingsFixture.h"

namespace zr {
namespace {

struct EditCase {
  const char* what;
  Bytes pokes;                               // before the refresh
  std::function<bool(SettingsMap&)> edit;
  Bytes writes;                              // the only bytes the edit may change
  std::vector<std::pair<const char*, const char*>> shows;  // fields and their JSON afterwards
  std::vector<std::pair<const char*, bool>> enabled;
};

void PrintTo(const EditCase& c, std::ostream* os) { *os << c.what; }


const EditCase kEditCases[] = {
    {"save mode 1 - 2 after the repair", {{0x0369, 0}}, pick("cboSaveMode", 0), {{0x0369, 144}},
     {{"cboSaveMode", R"({"position":0,"text":"1 - 2"})"}}, {}},
    {"power-on tone off keeps the channel number bits", {{0x0368, 0xF5}}, pick("cboPwrOnTone", 0), {{0x0368, 0xF0}}, {}, {}},
    {"time-out position is the byte", {}, pick("cboTot", 18), {{0x0130, 18}}, {}, {}},
    {"VOX function on sets bit 0 only", {{0x0139, 0xF0}}, pick("cboVoxFunc", 1), {{0x0139, 0xF1}}, {}, {}},
    {"VOX transmit inhibit off", {}, pick("cboVoxRxForbid", 0), {{0x0138, 0x00}}, {}, {}},
    {"low battery tone 2 sets bit 7", {}, pick("cboLowPwrToneSort", 1), {{0x036D, 0xDA}}, {}, {}},
    {"SK1 local alarm clears the alarm type bit", {{0x0367, 0x8F}}, pick("cboSk1Long", 2),
     {{0x0361, 15}, {0x0367, 0x8D}},
     {{"cboAlarmSort", R"({"position":0,"text":"Local"})"}, {"cboSk1Long", R"({"position":2,"text":"3--Local Alarm"})"},
      {"listSk1Long", R"({"position":15,"text":"16--Emergency Alarm    "})"}},
     {}},
    {"SK1 distance alarm sets the alarm type bit", {}, pick("cboSk1Long", 3), {{0x0361, 15}, {0x0367, 0x8F}},
     {{"cboAlarmSort", R"({"position":1,"text":"Local And Distance"})"},
      {"cboSk1Long", R"({"position":3,"text":"4--Distance Alarm"})"}},
     {}},
    {"SK1 battery leaves the alarm type", {{0x0367, 0x8F}}, pick("cboSk1Long", 4), {{0x0361, 11}}, {}, {}},
    {"SK1 off from a code the shortcut list lacks", {{0x0361, 5}}, pick("cboSk1Long", 0), {{0x0361, 0}},
     {{"listSk1Long", R"({"position":0,"text":"1--Off"})"}}, {}},
    {"alarm type change moves the SK1 shortcut", {{0x0361, 15}}, pick("cboAlarmSort", 1), {{0x0367, 0x8F}},
     {{"cboSk1Long", R"({"position":3,"text":"4--Distance Alarm"})"}}, {}},
    {"long press list moves the SK1 shortcut", {}, pick("listSk1Long", 11), {{0x0361, 11}},
     {{"cboSk1Long", R"({"position":4,"text":"5--Battery Volume"})"}}, {}},
    {"short press position 9 stores 10", {}, pick("listSk1Short", 9), {{0x0360, 10}},
     {{"listSk1Short", R"({"position":9,"text":"11--Channel Lock"})"}}, {}},
    {"short press position 17 stores 18", {}, pick("listSk2Short", 17), {{0x0362, 18}}, {}, {}},
    {"long press position 9 stores 9", {}, pick("listSk1Long", 9), {{0x0361, 9}},
     {{"cboSk1Long", R"({"position":0,"text":"1--Off"})"}}, {}},
    {"hold time 30 steps", {{0x0365, 0}}, pick("cboSk1LongTime", 30), {{0x0365, 30}}, {}, {}},
    {"checking tail elimination picks frequency", {{0x036B, 0x01}}, tick("chkTailDel", true), {{0x036B, 0x08}},
     {{"cboTailDel", R"({"position":3,"text":"4--Freqency"})"}},
     {{"chkNoCdEncTxFreTail", true}, {"chkNoCdEncRxFreTail", true}}},
    {"unchecking tail elimination turns it off", {}, tick("chkTailDel", false), {{0x036B, 0x00}},
     {{"cboTailDel", R"({"position":7,"text":"8--Off"})"}},
     {{"chkNoCdEncTxFreTail", false}, {"chkNoCdEncRxFreTail", false}}},
    {"tail mode writes one bit", {{0x036B, 0x0A}}, pick("cboTailDel", 1), {{0x036B, 0x02}},
     {{"chkTailDel", R"({"checked":false})"}}, {}},
    {"tail mode frequency checks the box", {{0x036B, 0x00}}, pick("cboTailDel", 3), {{0x036B, 0x08}},
     {{"chkTailDel", R"({"checked":true})"}}, {{"chkNoCdEncTxFreTail", true}}},
    {"unchecking transmit end tone clears the monitor end tone", {{0x036D, 0x5B}, {0x0367, 0x9D}},
     tick("chkTxEndTone", false), {{0x036D, 0x5A}, {0x0367, 0x8D}},
     {{"chkMoniTxEndTone", R"({"checked":false})"}}, {{"chkMoniTxEndTone", false}}},
    {"checking transmit end tone sets the monitor end tone", {}, tick("chkTxEndTone", true),
     {{0x036D, 0x5B}, {0x0367, 0x9D}}, {{"chkMoniTxEndTone", R"({"checked":true})"}}, {{"chkMoniTxEndTone", true}}},
    {"priority selected disables the channel and keeps it", {{0x0160, 1}, {0x0161, 5}}, pick("cboScanPriChSort", 2),
     {{0x0160, 2}}, {{"cboPriCh", R"({"position":5,"text":"5"})"}}, {{"cboPriCh", false}}},
    {"priority fixed enables the channel", {}, pick("cboScanPriChSort", 1), {{0x0160, 1}}, {}, {{"cboPriCh", true}}},
    {"low battery alarm off disables its three fields", {}, pick("cboLowBatAlarmTimer", 0), {{0x0364, 0}},
     {{"chkLowBatAn", R"({"checked":true})"}},
     {{"cboLowPwrToneSort", false}, {"chkLowBatAn", false}, {"chkLowBatTone", false}}},
    {"battery save off disables the save mode", {{0x0135, 0xF1}}, tick("chkBatSave", false), {{0x0135, 0xF0}}, {},
     {{"cboSaveMode", false}}},
    {"a flag keeps the other bits", {}, tick("chkCh16Scan", true), {{0x036D, 0x7A}}, {}, {}},
    {"VOX value above the refresh limit is written as picked", {}, pick("cboVoxCmpDat(1)", 180), {{0x0194, 180}},
     {{"cboVoxCmpDat(1)", R"({"position":180,"text":"180"})"}}, {}},
    {"info line stores character codes", {},
     type("txtInfo(1)", "Hi \xE4\xB8\x80"), {{0x0300, 72}, {0x0302, 105}, {0x0306, 0xE8}, {0x0307, 0x03}},
     {{"txtInfo(1)", "{\"text\":\"Hi \xE4\xB8\x80\"}"}}, {}},
    {"info line drops what the table lacks", {}, type("txtInfo(1)", "a\"b"),
     {{0x0300, 'a'}, {0x0302, 0x8E}, {0x0303, 0x55}, {0x0304, 'b'}}, {{"txtInfo(1)", R"({"text":"ab"})"}}, {}},
    {"info line keeps 16 characters", {}, type("txtInfo(1)", "ABCDEFGHIJKLMNOPQ"),
     {{0x0300, 'A'}, {0x0302, 'B'}, {0x0304, 'C'}, {0x0306, 'D'}, {0x0308, 'E'}, {0x030A, 'F'}, {0x030C, 'G'},
      {0x030E, 'H'}, {0x0310, 'I'}, {0x0312, 'J'}, {0x0314, 'K'}, {0x0316, 'L'}, {0x0318, 'M'}, {0x031A, 'N'},
      {0x031C, 'O'}, {0x031E, 'P'}},
     {{"txtInfo(1)", R"({"text":"ABCDEFGHIJKLMNOP"})"}}, {}},
};

class Edit : public SettingsFixture, public ::testing::WithParamInterface<EditCase> {};

TEST_P(Edit, WritesItsBytesAtOnceAndLinkedFieldsFollow) {
  const EditCase& c = GetParam();
  // The refresh limits VOX values above 160 by design.
  checkEdit(c, std::string(c.what).find("VOX value above") == std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Settings, Edit, ::testing::ValuesIn(kEditCases));

TEST_F(SettingsFixture, EveryOfferedValueSurvivesTheNextRefresh) {
  // Values the lists offer that the refresh replaces on purpose.
  // The digit duration and interval lists offer 2440 to 2500 ms (bytes 243
  // to 249), which the refresh turns into 510 ms.
  const auto refreshReplaces = [](const FieldDef& d, int position) {
    if (d.name == QStringLiteral("cboCodeContiTime") || d.name == QStringLiteral("cboCodeSpaceTime"))
      return position >= 236;
    return d.baseName() == QStringLiteral("cboVoxCmpDat") && position > kVoxCmpMax;
  };
  map->InitOpt();
  int checkedValues = 0;
  for (const FieldDef& d : map->fields()) {
    const QString name = d.name;
    // Each field starts from the factory image, so a value another field
    // left behind cannot be what the refresh repairs.
    image = factoryImage();
    map->InitOpt();
    if (d.widget == Widget::List) {
      const int count = static_cast<int>(map->state(name)->entries.size());
      ASSERT_GT(count, 0) << name.toStdString();
      for (int p = 0; p < count; ++p) {
        ASSERT_TRUE(map->setPosition(name, p)) << name.toStdString() << " #" << p;
        ASSERT_EQ(map->state(name)->position, p) << name.toStdString() << " #" << p;
        if (refreshReplaces(d, p)) continue;
        const ByteArray before = image;
        map->InitOpt();
        ASSERT_EQ(byteDiff(before, image), "") << name.toStdString() << " #" << p;
        ASSERT_EQ(map->state(name)->position, p) << name.toStdString() << " #" << p;
        ++checkedValues;
      }
    } else if (d.widget == Widget::Check) {
      for (bool on : {true, false, true}) {
        ASSERT_TRUE(map->setChecked(name, on)) << name.toStdString();
        ASSERT_EQ(map->state(name)->checked, on) << name.toStdString();
        const ByteArray before = image;
        map->InitOpt();
        ASSERT_EQ(byteDiff(before, image), "") << name.toStdString() << " " << on;
        ASSERT_EQ(map->state(name)->checked, on) << name.toStdString();
        ++checkedValues;
      }
    }
  }
  EXPECT_GT(checkedValues, 0);
  EXPECT_EQ(log.reportCount(), 0) << logText();
}

TEST_F(SettingsFixture, KeyListsShareOneBusyFlag) {
  map->InitOpt();
  QStringList notified;
  std::vector<bool> nested;
  const auto listening = QObject::connect(map.get(), &SettingsMap::fieldChanged, [&](const QString& name, const FieldState&) {
    notified << name;
    if (name == QStringLiteral("listSk1Short")) {
      // The clicks a key list raises while its handler runs do nothing,
      // whichever of the four lists they reach.
      nested.push_back(map->setPosition(QStringLiteral("listSk1Short"), 3));
      nested.push_back(map->setPosition(QStringLiteral("listSk2Long"), 5));
      // Other fields are not held by the key lists' flag.
      nested.push_back(map->setPosition(QStringLiteral("cboSk2LongTime"), 7));
    }
  });
  ASSERT_TRUE(map->setPosition(QStringLiteral("listSk1Short"), 12));
  EXPECT_EQ((std::vector<bool>{false, false, true}), nested);
  EXPECT_EQ(image.at(0x0360), 13);
  EXPECT_EQ(image.at(0x0363), factoryImage().at(0x0363));
  EXPECT_EQ(image.at(0x0366), 7);
  EXPECT_TRUE(notified.contains(QStringLiteral("listSk1Short")));
  EXPECT_TRUE(notified.contains(QStringLiteral("cboSk2LongTime")));

  // Once the handler is done the flag is clear again.
  QObject::disconnect(listening);
  EXPECT_TRUE(map->setPosition(QStringLiteral("listSk2Long"), 5));
  EXPECT_EQ(image.at(0x0363), 5);
}

TEST_F(SettingsFixture, ListenerFollowsViewsOfASharedByte) {
  map->InitOpt();
  QStringList notified;
  QObject::connect(map.get(), &SettingsMap::fieldChanged, [&](const QString& name, const FieldState&) { notified << name; });
  ASSERT_TRUE(map->setPosition(QStringLiteral("listSk1Long"), 15));  // emergency alarm
  EXPECT_TRUE(notified.contains(QStringLiteral("listSk1Long")));
  EXPECT_TRUE(notified.contains(QStringLiteral("cboSk1Long")));
  EXPECT_FALSE(notified.contains(QStringLiteral("cboTot")));
}

TEST_F(SettingsFixture, VoxListsCarryTheirVoltageAsToolTip) {
  map->InitOpt();
  const std::pair<int, const char*> cases[] = {{0, "0mv"}, {150, "1941mv"}, {180, "2329mv"}, {160, "2071mv"}};
  for (const auto& [position, tip] : cases) {
    ASSERT_TRUE(map->setPosition(QStringLiteral("cboVoxCmpDat(4)"), position));
    EXPECT_EQ(map->state(QStringLiteral("cboVoxCmpDat(4)"))->toolTip, QString::fromUtf8(tip)) << position;
  }
}

TEST_F(SettingsFixture, VoxDefaultButtonRestoresTheTableAndItsMark) {
  poke({{0x0194, 3}, {0x019D, 170}, {0x019E, 0x5A}});
  map->InitOpt();
  poke({{0x019E, 0x11}});
  ASSERT_TRUE(map->press(QStringLiteral("cmdVoxCmpDefault")));
  EXPECT_EQ(byteDiff(factoryImage(), image), "");
  EXPECT_EQ(shown("cboVoxCmpDat(10)"), R"({"position":35,"text":"35"})");
}

TEST_F(SettingsFixture, EditFailuresAreLoggedUnderTheHandlerAndChangeNothing) {
  map->InitOpt();
  EXPECT_FALSE(map->setPosition(QStringLiteral("cboTot"), 19));
  EXPECT_EQ(log.lastTag(), QStringLiteral("frmChMem->cboTot_Click"));
  EXPECT_EQ(log.lastCode(), kErrSubscript);
  EXPECT_FALSE(map->setPosition(QStringLiteral("cboTot"), -1));
  EXPECT_EQ(byteDiff(factoryImage(), image), "");
  EXPECT_EQ(map->state(QStringLiteral("cboTot"))->position, 4);

  // Not a field, or not a field of that kind: refused without a log line.
  const int reports = log.reportCount();
  EXPECT_FALSE(map->setPosition(QStringLiteral("cboNoSuchField"), 0));
  EXPECT_FALSE(map->setChecked(QStringLiteral("cboTot"), true));
  EXPECT_FALSE(map->setText(QStringLiteral("chkBeep"), QStringLiteral("1")));
  EXPECT_EQ(log.reportCount(), reports);

  // An image that ends before the field's byte.
  ByteArray small(0x0200);
  SettingsMap m(small, text, chars, log);
  m.InitOpt();
  EXPECT_FALSE(m.setChecked(QStringLiteral("chkLowBatTx"), true));
  EXPECT_EQ(log.lastTag(), QStringLiteral("frmChMem->chkLowBatTx_Click"));
  EXPECT_EQ(log.lastCode(), kErrSubscript);
  EXPECT_FALSE(m.setText(QStringLiteral("txtInfo(1)"), QStringLiteral("x")));
  EXPECT_EQ(log.lastTag(), QStringLiteral("frmChMem->txtInfo_LostFocus"));
}

TEST(SettingsTable, NamesAreUniqueAndEnablingLeadersExist) {
  ErrorLog log;
  TextTable text;
  CharTable chars = sharedChars();
  ByteArray image(0x03FF);
  std::vector<FieldDef> table = settingsTable();
  SettingsMap map(image, text, chars, log, table);
  for (const FieldDef& d : table) {
    if (d.enabledWhen.test) {
      EXPECT_NE(map.def(d.enabledWhen.leader), nullptr) << d.name.toStdString() << " follows " << d.enabledWhen.leader.toStdString();
    }
    if (d.widget == Widget::List) {
      EXPECT_TRUE(static_cast<bool>(d.list)) << d.name.toStdString();
    }
  }
  table.push_back(checkField(QStringLiteral("chkBeep"), QStringLiteral("fraOptionSet"), 225).bit(0x0136, 0));
  try {
    SettingsMap twice(image, text, chars, log, table);
    ADD_FAILURE() << "a repeated field name was accepted";
  } catch (const RunError& e) {
    EXPECT_EQ(e.code(), kErrInvalidCall);
  }
}

}  // namespace
}  // namespace zr
