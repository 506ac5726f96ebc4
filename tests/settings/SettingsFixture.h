#pragma once
// A settings map over the factory image (the default image New loads), which
// the refresh accepts as it is, so every difference a test sees comes from
// the bytes it changed.
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "data/ByteArray.h"
#include "data/CharTable.h"
#include "data/MemoryImage.h"
#include "editors/SettingsMap.h"
#include "base/ErrorLog.h"
#include "base/TextTable.h"

namespace zr {

using Bytes = std::vector<std::pair<int, int>>;  // address, value

// A refresh case: the bytes poked into the factory image, the field and how
// it shows after the refresh, and the only bytes the refresh may write.
struct RefreshCase {
  const char* what;
  Bytes pokes;
  const char* field;
  const char* shows;  // the field's JSON after the refresh
  Bytes repairs;      // the only bytes the refresh may write
};

inline void PrintTo(const RefreshCase& c, std::ostream* os) { *os << c.what; }

// Edits of a table of cases: choose a list position, tick a box, type a text.
inline auto pick(const char* field, int position) {
  return [=](SettingsMap& m) { return m.setPosition(QString::fromUtf8(field), position); };
}
inline auto tick(const char* field, bool on) {
  return [=](SettingsMap& m) { return m.setChecked(QString::fromUtf8(field), on); };
}
inline auto type(const char* field, const char* text) {
  return [=](SettingsMap& m) { return m.setText(QString::fromUtf8(field), QString::fromUtf8(text)); };
}

inline const CharTable& sharedChars() {
  static const CharTable t;
  return t;
}

inline ByteArray factoryImage() {
  static const ByteArray image = [] {
    ByteArray a(0x1FFF);
    QFile f(QStringLiteral(ZR_BIN_DIR "/dhcpqec.def"));
    if (f.open(QIODevice::ReadOnly)) {
      const QByteArray b = f.readAll();
      loadRaw(a, std::vector<uint8_t>(b.begin(), b.end()));
      realign(a);
    }
    return a;
  }();
  return image;
}

// "0x0130: 25 -> 4" per differing byte, empty when equal.
inline std::string byteDiff(const ByteArray& expected, const ByteArray& actual) {
  std::ostringstream out;
  for (int a = 0; a < std::min(expected.size(), actual.size()); ++a)
    if (expected.at(a) != actual.at(a))
      out << "0x" << std::hex << a << std::dec << ": expected " << int(expected.at(a)) << ", got "
          << int(actual.at(a)) << "\n";
  return out.str();
}

class SettingsFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(factoryImage().at(0x01B8), 'M') << "factory image " ZR_BIN_DIR "/dhcpqec.def not loaded";
    image = factoryImage();
    map = std::make_unique<SettingsMap>(image, text, chars, log);
  }

  void poke(const Bytes& bytes) {
    for (const auto& [a, v] : bytes) image.set(a, v);
  }
  static ByteArray with(ByteArray base, const Bytes& bytes) {
    for (const auto& [a, v] : bytes) base.set(a, v);
    return base;
  }
  // The field as `show --json` prints it, compact: {"position":4,"text":"60s"}.
  std::string shown(const char* field) const {
    const QJsonValue v = map->settingsJson().value(QString::fromUtf8(field));
    if (!v.isObject()) return "(no field)";
    return QJsonDocument(v.toObject()).toJson(QJsonDocument::Compact).toStdString();
  }
  bool enabled(const char* field) const {
    const FieldState* s = map->state(QString::fromUtf8(field));
    return s && s->enabled;
  }
  std::string logText() const { return log.lines().join(QStringLiteral("\n")).toStdString(); }

  // The refresh shows the field as the case says and writes only its repairs.
  void checkRefresh(const RefreshCase& c) {
    poke(c.pokes);
    const ByteArray expected = with(image, c.repairs);
    map->InitOpt();
    EXPECT_EQ(shown(c.field), c.shows);
    EXPECT_EQ(byteDiff(expected, image), "");
    EXPECT_EQ(log.reportCount(), 0) << logText();
  }

  // An edit case (what, pokes, edit, writes, shows and, where the case has
  // them, enabled states): the edit writes exactly its bytes at once, the
  // fields show what the case says, and, unless the case is one the refresh
  // changes on purpose, a later refresh keeps every byte and every field.
  template <class EditCase>
  void checkEdit(const EditCase& c, bool refreshKeepsEverything = true) {
    poke(c.pokes);
    map->InitOpt();
    const ByteArray expected = with(image, c.writes);
    ASSERT_TRUE(c.edit(*map));
    EXPECT_EQ(byteDiff(expected, image), "");
    for (const auto& [field, shows] : c.shows) EXPECT_EQ(shown(field), shows) << field;
    if constexpr (requires { c.enabled; }) {
      for (const auto& [field, on] : c.enabled) EXPECT_EQ(enabled(field), on) << field;
    }
    EXPECT_EQ(log.reportCount(), 0) << logText();

    const ByteArray before = image;
    const std::string json = QJsonDocument(map->settingsJson()).toJson().toStdString();
    map->InitOpt();
    if (refreshKeepsEverything) {
      EXPECT_EQ(byteDiff(before, image), "");
      EXPECT_EQ(QJsonDocument(map->settingsJson()).toJson().toStdString(), json);
    }
  }

  ErrorLog log;
  TextTable text;
  CharTable chars = sharedChars();
  ByteArray image;
  std::unique_ptr<SettingsMap> map;
};

}  // namespace zr
