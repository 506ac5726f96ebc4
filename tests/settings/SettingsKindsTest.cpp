// Field kinds of the engine that the rows of the optional features, keys, VOX,
// scan and battery do not use yet (DTMF code texts split over two areas, a
// byte with an offset and repairs on both sides, a coded byte with a catch-all
// repair, an inverted flag, enabling by text length, a position link), on a
// small table of their own.
#include "SettingsFixture.h"

namespace zr {
namespace {

std::vector<FieldDef> kindsTable() {
  const QString frame = QStringLiteral("fraTest");
  return {
      textField("txtBot", frame, "lblBot", -1).codeText({{0x0140, 16}}, 0),
      textField("txtId", frame, "lblId", -1).codeText({{0x0120, 10}}, 2),
      textField("txtStun", frame, "lblStun", -1).codeText({{0x01E0, 8}, {0x01F8, 2}}, 0),
      listField("cboStunSort", frame, "lblStunSort", -1).bit(0x01FA, 0).items(entries({323, 324}))
          .enabled(whenTextLength("txtStun", 3)),
      listField("cboDigitTime", frame, "lblDigitTime", -1).byte(0x03DA, 7)
          .items(numbers(0, 242, {.scale = 10, .add = 80}))
          .repairBelow(7, 10).repairAbove(242, 50).link(samePosition("cboDigitGap")),
      listField("cboDigitGap", frame, "lblDigitGap", -1).byte(0x03DB, 7)
          .items(numbers(0, 242, {.scale = 10, .add = 80})).repairBelow(7, 10).repairAbove(242, 50),
      listField("cboGroup", frame, "lblGroup", -1).coded(0x0116, {0x00, 0x41, 0x42, 0x43, 0x44, 0x2A, 0x23})
          .items(entryRange(313, 319)).repairOther(0x00),
      checkField("chkEnable", frame, -1).bit(0x0367, 5).invert(),
      listField("cboCall", frame, "lblCall", -1).byte(0x0118)
          .items(entries({320, 366}) + numbers(2, 255, {.scale = 10, .add = -10, .prefix = 321, .suffix = 322})),
      listField("cboChannel", frame, "lblChannel", -1).byte(0x03E3)
          .items(entries({385}) + numbers(1, 16, {.prefix = 386, .joiner = QStringLiteral(" ")})),
  };
}

class Kinds : public SettingsFixture {
 protected:
  void SetUp() override {
    SettingsFixture::SetUp();
    map = std::make_unique<SettingsMap>(image, text, chars, log, kindsTable());
  }
};

TEST_F(Kinds, CodeTextsAreFilteredAsTypedAndStoredOnePositionPerByte) {
  struct Case {
    const char* field;
    const char* typed;
    const char* shows;
    Bytes writes;
  };
  auto filled = [](int from, std::vector<int> codes, int count) {
    Bytes b;
    codes.resize(size_t(count), 0xFF);
    for (int k = 0; k < count; ++k) b.push_back({from + k, codes[size_t(k)]});
    return b;
  };
  Bytes stun = filled(0x01E0, {0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38}, 8);
  stun.push_back({0x01F8, 0x39});
  stun.push_back({0x01F9, 0xFF});
  const Case cases[] = {
      {"txtBot", "12ab*#", "12AB*#", filled(0x0140, {0x31, 0x32, 0x41, 0x42, 0x2A, 0x23}, 16)},
      {"txtBot", "1a-E#d", "1A#D", filled(0x0140, {0x31, 0x41, 0x23, 0x44}, 16)},
      {"txtId", "12A", "12", filled(0x0120, {0x31, 0x32}, 10)},
      {"txtId", "123456789012", "1234567890", filled(0x0120, {49, 50, 51, 52, 53, 54, 55, 56, 57, 48}, 10)},
      {"txtStun", "123456789", "123456789", stun},
  };
  for (const Case& c : cases) {
    image = factoryImage();
    map->InitOpt();
    const ByteArray expected = with(image, c.writes);
    ASSERT_TRUE(map->setText(QString::fromUtf8(c.field), QString::fromUtf8(c.typed))) << c.typed;
    EXPECT_EQ(map->state(QString::fromUtf8(c.field))->text.toStdString(), c.shows) << c.typed;
    EXPECT_EQ(byteDiff(expected, image), "") << c.typed;
  }
  EXPECT_EQ(log.reportCount(), 0) << logText();
}

TEST_F(Kinds, CodeTextsShowOnlyTheirOwnPositions) {
  // An ID code of three digits beside a full end-of-transmission code.
  poke({{0x0120, '1'}, {0x0121, '2'}, {0x0122, '3'}, {0x012A, '9'}, {0x012B, '9'}});
  poke({{0x01E0, 'A'}, {0x01E7, 'B'}, {0x01E8, '5'}, {0x01F8, '#'}, {0x01F9, 0x00}});
  map->InitOpt();
  EXPECT_EQ(shown("txtId"), R"({"text":"123"})");
  EXPECT_EQ(shown("txtStun"), R"({"text":"AB#"})");
  EXPECT_TRUE(enabled("cboStunSort"));
  ASSERT_TRUE(map->setText(QStringLiteral("txtStun"), QStringLiteral("12")));
  EXPECT_FALSE(enabled("cboStunSort"));
}

TEST_F(Kinds, OffsetsCodesAndInvertedFlags) {
  struct Case {
    const char* what;
    Bytes pokes;
    const char* field;
    const char* shows;
    Bytes repairs;
  };
  const Case cases[] = {
      {"offset below the range", {{0x03DA, 3}}, "cboDigitTime", R"({"position":3,"text":"110"})", {{0x03DA, 10}}},
      {"offset above the range", {{0x03DA, 245}}, "cboDigitTime", R"({"position":43,"text":"510"})", {{0x03DA, 50}}},
      {"coded catch-all", {{0x0116, 0x45}}, "cboGroup", R"({"position":0,"text":"Off"})", {{0x0116, 0x00}}},
      {"coded match", {{0x0116, 0x23}}, "cboGroup", R"({"position":6,"text":"#"})", {}},
      {"inverted flag set", {{0x0367, 0x20}}, "chkEnable", R"({"checked":false})", {}},
      {"inverted flag clear", {{0x0367, 0x00}}, "chkEnable", R"({"checked":true})", {}},
      {"number list with prefix and suffix", {{0x0118, 2}}, "cboCall", R"({"position":2,"text":"Glint10s"})", {}},
      {"number list to its end", {{0x0118, 255}}, "cboCall", R"({"position":255,"text":"Glint2540s"})", {}},
      {"number list with a joiner", {{0x03E3, 16}}, "cboChannel", R"({"position":16,"text":"Fixed CH: 16"})", {}},
  };
  for (const Case& c : cases) {
    image = factoryImage();
    poke(c.pokes);
    const ByteArray expected = with(image, c.repairs);
    map->InitOpt();
    EXPECT_EQ(shown(c.field), c.shows) << c.what;
    EXPECT_EQ(byteDiff(expected, image), "") << c.what;
  }

  image = factoryImage();
  map->InitOpt();
  ASSERT_TRUE(map->setPosition(QStringLiteral("cboDigitTime"), 12));  // 200 ms
  EXPECT_EQ(image.at(0x03DA), 19);
  EXPECT_EQ(image.at(0x03DB), 19);
  ASSERT_TRUE(map->setPosition(QStringLiteral("cboDigitGap"), 2));
  EXPECT_EQ(image.at(0x03DA), 19);
  EXPECT_EQ(image.at(0x03DB), 9);
  ASSERT_TRUE(map->setChecked(QStringLiteral("chkEnable"), true));
  EXPECT_EQ(image.at(0x0367), 0x8D);  // bit 5 clear
  ASSERT_TRUE(map->setChecked(QStringLiteral("chkEnable"), false));
  EXPECT_EQ(image.at(0x0367), 0xAD);
  ASSERT_TRUE(map->setPosition(QStringLiteral("cboGroup"), 5));
  EXPECT_EQ(image.at(0x0116), 0x2A);
  EXPECT_EQ(log.reportCount(), 0) << logText();
}

TEST_F(SettingsFixture, CaptionsFollowTheTextTable) {
  const std::pair<const char*, const char*> cases[] = {
      {"cboTot", "Time-out Timer[s]"},
      {"chkBeep", "Beep"},
      {"cboVoxCmpDat(3)", "3"},
      {"cmdVoxCmpDefault", "Default"},
      {"listSk2Long", "SK2(Long)"},
  };
  for (const auto& [field, caption] : cases)
    EXPECT_EQ(map->caption(*map->def(QString::fromUtf8(field))).toStdString(), caption) << field;
  EXPECT_EQ(map->def(QStringLiteral("cboVoxCmpDat(3)"))->label, QStringLiteral("lblVoxCmpLevel(2)"));
  EXPECT_EQ(map->def(QStringLiteral("cboVoxCmpDat(3)"))->baseName(), QStringLiteral("cboVoxCmpDat"));
  EXPECT_EQ(map->def(QStringLiteral("cboVoxCmpDat(3)"))->index(), 3);
}

TEST(SettingsServiceCode, ComparesTheUpperCasedEntryExactly) {
  EXPECT_TRUE(isServiceCode(QStringLiteral("高级码")));
  EXPECT_FALSE(isServiceCode(QStringLiteral("高级")));
  EXPECT_FALSE(isServiceCode(QString()));
}

}  // namespace
}  // namespace zr
