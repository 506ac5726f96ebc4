#include "editors/ChInfoReader.h"

#include <cmath>
#include <limits>
#include <optional>

namespace zr {

namespace {

const char kTag[] = "frmChMem->ReadChInfo";
const QString kSection = QStringLiteral("ChInfo");
const QString kEndOfItems = QStringLiteral("*EndOfThisItem*");

// The whole text as a decimal number, rounded half to even as an integer
// conversion does; nullopt when it is not a number.
std::optional<double> wholeNumber(const QString& text) {
  bool ok = false;
  const double v = text.toDouble(&ok);
  if (!ok || !std::isfinite(v)) return std::nullopt;
  return std::nearbyint(v);
}

class Reader {
 public:
  Reader(const PrivateProfile::Section& keys, int base, ErrorLog& log) : keys_(keys), base_(base), log_(log) {}

  QString text(int offset, const QString& def, int maxChars) const {
    return keys_.GetString(base_ + offset, def, maxChars);
  }

  // A count that must lie in lo..hi: clamped into it when it does not.
  int count(int offset, int def, int lo, int hi) const {
    const std::optional<double> v = number(offset, def, 4);
    if (!v) return def;
    if (*v < lo || *v > hi) {
      log_.LogError(QString::fromLatin1(kTag), kErrSubscript);
      return *v < lo ? lo : hi;
    }
    return static_cast<int>(*v);
  }

  // A size (row height, column width) that only has to be a whole number.
  int size(int offset, int def, int maxChars) const {
    const std::optional<double> v = number(offset, def, maxChars);
    if (!v) return def;
    if (*v < std::numeric_limits<int>::min() || *v > std::numeric_limits<int>::max()) {
      log_.LogError(QString::fromLatin1(kTag), kErrOverflow);
      return def;
    }
    return static_cast<int>(*v);
  }

 private:
  std::optional<double> number(int offset, int def, int maxChars) const {
    const std::optional<double> v = wholeNumber(text(offset, QString::number(def), maxChars));
    if (!v) log_.LogError(QString::fromLatin1(kTag), kErrTypeMismatch);
    return v;
  }

  const PrivateProfile::Section& keys_;
  int base_;
  ErrorLog& log_;
};

}  // namespace

ChColumnDefs ReadChInfo(const PrivateProfile& ini, int lang, ErrorLog& log) {
  ChColumnDefs defs;
  guarded(log, kTag, [&] {
    // Several hundred keys, all from one version of the file.
    const PrivateProfile::Section keys = ini.section(kSection);
    const int base = lang == 1 ? 1000 : lang == 2 ? 2000 : 3000;
    const Reader r(keys, base, log);

    defs.channelCount = r.count(0, defs.channelCount, 1, ChColumnDefs::kMaxChannels);
    defs.rowHeight = r.size(1, defs.rowHeight, 4);
    defs.columnCount = r.count(2, defs.columnCount, 1, ChColumnDefs::kMaxColumns);
    defs.headerFormat = r.text(3, defs.headerFormat, 199);

    const int m = defs.columnCount;
    defs.widths.assign(static_cast<size_t>(m) + 1, 1000);
    defs.items.assign(static_cast<size_t>(m) + 1, QStringList());
    for (int j = 0; j <= m; ++j) defs.widths[static_cast<size_t>(j)] = r.size(100 + j, 1000, 9);

    for (int j = 1; j <= m; ++j) {
      QStringList& list = defs.items[static_cast<size_t>(j)];
      list.reserve(ChColumnDefs::kMaxItems);
      for (int k = 0; k < ChColumnDefs::kMaxItems; ++k) {
        const QString item = r.text(200 + ChColumnDefs::kMaxItems * (j - 1) + k, QStringLiteral("0"), 99);
        if (item == kEndOfItems) break;
        list << item;
      }
    }
  });
  return defs;
}

}  // namespace zr
