#pragma once
// A settings map over the factory image (the default image New loads), which
// the refresh accepts as it is, so every difference a test sees comes from
// the bytes it changed.
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

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

  ErrorLog log;
  TextTable text;
  CharTable chars = sharedChars();
  ByteArray image;
  std::unique_ptr<SettingsMap> map;
};

}  // namespace zr
