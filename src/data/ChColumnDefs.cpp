#include "data/ChColumnDefs.h"

#include <cmath>

#include "base/VbText.h"

namespace zr {

QString ChColumnDefs::item(int column, int k) const {
  if (column < 0 || column >= static_cast<int>(items.size())) return {};
  const QStringList& list = items[static_cast<size_t>(column)];
  if (k < 0 || k >= list.size()) return {};
  return list[k];
}

int ChColumnDefs::defaultValue(int column) const {
  const double v = vbVal(item(column, 2));
  if (!std::isfinite(v) || v > 2147483647.0 || v < -2147483648.0) return 0;
  return static_cast<int>(std::nearbyint(v));
}

int ChColumnDefs::optionCount(int column) const {
  const double v = vbVal(item(column, 1));
  if (!std::isfinite(v) || v > 1000 || v < 0) return 0;
  return static_cast<int>(std::nearbyint(v));
}

QString ChColumnDefs::optionText(int column, int value) const {
  if (value < 0) return {};
  return item(column, value + 3);
}

QStringList ChColumnDefs::captions() const { return headerFormat.split(u'|'); }

bool ChColumnDefs::isOptionColumn(int column) const {
  static const QStringList kKeys = {QStringLiteral("RxFre"),  QStringLiteral("TxFre"),
                                    QStringLiteral("OFFSET"), QStringLiteral("CHNAME"),
                                    QStringLiteral("CtcssDcsDec"), QStringLiteral("CtcssDcsEnc")};
  return column >= 5 && !kKeys.contains(key(column));
}

ChColumnDefs ChColumnDefs::fallback() {
  // What reading a configuration without section "ChInfo" gives: the key
  // defaults ("16", "240", "9", ten zero captions, widths "1000") and items
  // that are all "0" (no terminator, so all 50 of them). Built once; a copy
  // shares the item texts.
  static const ChColumnDefs defs = [] {
    ChColumnDefs d;
    d.widths.assign(static_cast<size_t>(d.columnCount) + 1, 1000);
    d.items.assign(static_cast<size_t>(d.columnCount) + 1, QStringList());
    for (int j = 1; j <= d.columnCount; ++j) {
      QStringList list;
      for (int k = 0; k < kMaxItems; ++k) list << QStringLiteral("0");
      d.items[static_cast<size_t>(j)] = list;
    }
    return d;
  }();
  return defs;
}

}  // namespace zr
