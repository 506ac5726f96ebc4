// FIELD=VALUE assignments of `zr417-cli set`: list entries by text or #N,
// check boxes by 1/0, on/off, true/false, text fields filtered as typed; a
// clear message and no change for anything the field does not offer.
#include "SettingsFixture.h"

namespace zr {
namespace {

struct AssignCase {
  const char* assignment;
  Bytes pokes;   // before the refresh
  Bytes writes;  // the bytes the assignment changes (none when refused)
  const char* error;  // part of the message, empty when accepted
};

void PrintTo(const AssignCase& c, std::ostream* os) { *os << c.assignment; }

const AssignCase kAssignCases[] = {
    {"cboSaveMode=1 - 2", {}, {{0x0369, 144}}, ""},
    {"cboTot=#5", {}, {{0x0130, 5}}, ""},
    {"cboTot=270s", {}, {{0x0130, 18}}, ""},
    {"cboTot=Off", {}, {{0x0130, 0}}, ""},
    {"chkBeep=off", {}, {{0x0136, 0x00}}, ""},
    {"chkBeep=0", {}, {{0x0136, 0x00}}, ""},
    {"chkBeep=false", {}, {{0x0136, 0x00}}, ""},
    {"chkBeep=TRUE", {{0x0136, 0x00}}, {{0x0136, 0x01}}, ""},
    {"chkBeep=On", {{0x0136, 0x00}}, {{0x0136, 0x01}}, ""},
    {"chkTailDel=0", {}, {{0x036B, 0x00}}, ""},
    {"listSk1Short=11--Channel Lock", {}, {{0x0360, 10}}, ""},
    {"listSk1Short=16--Emergency Alarm", {}, {{0x0360, 15}}, ""},  // trailing blanks of the entry may be left out
    {"cboSk1Long=4--Distance Alarm", {}, {{0x0361, 15}, {0x0367, 0x8F}}, ""},
    {"cboVoxCmpDat(2)=170", {}, {{0x0195, 170}}, ""},
    {"txtInfo(1)=Hi", {}, {{0x0300, 'H'}, {0x0302, 'i'}}, ""},
    {"nosuch=1", {}, {}, "unknown settings field"},
    {"cboTot=61s", {}, {}, "is not an entry of cboTot; its entries are \"Off\", \"15s\", \"30s\""},  // 19: all named
    {"cboVoxCmpDat(2)=x", {}, {}, "give one of their texts or #0 to #"},  // a long list: its size, not its entries
    {"cboTot=#19", {}, {}, "has no position 19"},
    {"cboTot=#-1", {}, {}, "\"#-1\" is not an entry of cboTot"},  // not "#" and digits: a text
    {"cboTot=#x", {}, {}, "\"#x\" is not an entry of cboTot"},
    {"cboDtmfGrpCode=#", {}, {{0x0116, 0x23}}, ""},  // the entry "#" itself
    {"cboTot=", {}, {}, "is not an entry"},
    {"chkBeep=maybe", {}, {}, "takes 1/0, on/off or true/false"},
    {"cboTot", {}, {}, "expected FIELD=VALUE"},
    {"=5", {}, {}, "expected FIELD=VALUE"},
    {"cmdVoxCmpDefault=1", {}, {}, "is a button"},
};

class Assign : public SettingsFixture, public ::testing::WithParamInterface<AssignCase> {};

TEST_P(Assign, ChangesTheFieldOrExplainsWhyNot) {
  const AssignCase& c = GetParam();
  poke(c.pokes);
  map->InitOpt();
  const ByteArray expected = with(image, c.writes);
  const QString error = map->applyAssignment(QString::fromUtf8(c.assignment));
  if (*c.error) {
    EXPECT_TRUE(error.contains(QString::fromUtf8(c.error))) << error.toStdString();
  } else {
    EXPECT_EQ(error.toStdString(), "");
  }
  EXPECT_EQ(byteDiff(expected, image), "");
  EXPECT_EQ(log.reportCount(), 0) << logText();
}

INSTANTIATE_TEST_SUITE_P(Settings, Assign, ::testing::ValuesIn(kAssignCases));

TEST_F(SettingsFixture, AssignmentsApplyInOrderThroughTheLinks) {
  map->InitOpt();
  for (const char* a : {"cboScanPriChSort=Fixed", "cboPriCh=#7", "chkTxEndTone=1", "cboLowBatAlarmTimer=Off"})
    ASSERT_EQ(map->applyAssignment(QString::fromUtf8(a)).toStdString(), "") << a;
  EXPECT_EQ(image.at(0x0160), 1);
  EXPECT_EQ(image.at(0x0161), 7);
  EXPECT_EQ(image.at(0x0367) & 0x10, 0x10);  // monitor end tone followed the transmit end tone
  EXPECT_TRUE(enabled("cboPriCh"));
  EXPECT_FALSE(enabled("cboLowPwrToneSort"));
  EXPECT_EQ(shown("chkMoniTxEndTone"), R"({"checked":true})");
}

}  // namespace
}  // namespace zr
