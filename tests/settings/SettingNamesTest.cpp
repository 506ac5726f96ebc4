// Settings that code names by text rather than through their own row: every
// such name is a field of the settings map, of the kind the code takes it
// for, so that renaming a field cannot silently switch a reference off.
#include "SettingsFixture.h"

#include "link/ForcedSettings.h"

namespace zr {
namespace {

class SettingNames : public SettingsFixture {};

TEST_F(SettingNames, EveryForcedSettingOfTheWriteIsAFieldOfItsKind) {
  map->InitOpt();
  for (const ForcedSetting& f : kForcedSettings) {
    const FieldDef* d = map->def(QString::fromLatin1(f.name));
    ASSERT_NE(d, nullptr) << f.name << " is not a field of the settings map";
    EXPECT_EQ(d->widget, f.list ? Widget::List : Widget::Check) << f.name;
    if (f.list) {
      EXPECT_LT(f.value, map->state(d->name)->entries.size()) << f.name << " has no such position";
    }
  }
}

TEST_F(SettingNames, EveryEnablingRuleNamesAField) {
  int rules = 0;
  for (const FieldDef& d : map->fields()) {
    if (!d.enabledWhen.test) continue;
    ++rules;
    EXPECT_NE(map->def(d.enabledWhen.leader), nullptr)
        << d.name.toStdString() << " follows " << d.enabledWhen.leader.toStdString() << ", which is not a field";
  }
  EXPECT_GT(rules, 0);
}

TEST_F(SettingNames, AForcedNameTheSettingsDoNotHaveIsLoggedAndTheOthersStillApply) {
  map->InitOpt();
  const ForcedSetting forced[] = {
      {"cboNoSuchField", true, 0},  // a renamed list
      {"chkBeep", true, 1},         // a check box taken for a list
      {"cboTot", true, 5},
  };
  const int before = log.reportCount();
  applyForcedSettings(*map, log, "frmCommun->cmdWrite_Click", forced);
  EXPECT_EQ(log.reportCount(), before + 2);
  EXPECT_EQ(log.lastTag(), QStringLiteral("frmCommun->cmdWrite_Click"));
  EXPECT_EQ(log.lastCode(), kErrSubscript);
  EXPECT_TRUE(log.lastDetail().contains(QStringLiteral("chkBeep"))) << log.lastDetail().toStdString();
  EXPECT_EQ(map->state(QStringLiteral("cboTot"))->position, 5);
  EXPECT_EQ(image.at(0x0130), 5);
}

}  // namespace
}  // namespace zr
