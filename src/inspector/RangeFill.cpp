#include "inspector/RangeFill.h"

#include <algorithm>

#include "inspector/HexView.h"
#include "base/AppSettings.h"
#include "base/ErrorLog.h"
#include "base/VbText.h"

namespace zr {

namespace {
constexpr int kMaxFillValue = 255;
}

const QStringList& RangeFill::baseEntries() {
  static const QStringList entries = {QStringLiteral("H"), QStringLiteral("D"), QStringLiteral("B")};
  return entries;
}

RangeFill::RangeFill(HexView& view, ErrorLog& log) : view_(view), log_(log) {}

void RangeFill::Form_Load() {
  cboFillData = kHex;
  txtStartAddr = hexWithPattern(FillStart, 4);
  txtEndAddr = hexWithPattern(FillEnd, 4);
}

void RangeFill::txtStartAddr_Change(const QString& text) {
  txtStartAddr = text;
  if (auto v = hexToUInt16(text)) FillStart = *v;
}

void RangeFill::txtEndAddr_Change(const QString& text) {
  txtEndAddr = text;
  if (auto v = hexToUInt16(text)) FillEnd = *v;
}

std::optional<int> RangeFill::fillValue(const QString& text, int base) {
  int value = 0;
  switch (base) {
    case kHex:
      value = B_To_D(H_To_B(text));
      break;
    case kBin:
      value = B_To_D(text);
      break;
    case kDec: {
      const QString t = text.trimmed();
      if (t.isEmpty() || !std::all_of(t.begin(), t.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
      // Any number of digits: everything above 255 fills 255. Leading
      // zeros count nothing ("0012" is 12).
      qsizetype firstDigit = 0;
      while (firstDigit < t.size() - 1 && t[firstDigit] == u'0') ++firstDigit;
      const QString digits = t.size() - firstDigit > 3 ? QStringLiteral("999") : t.mid(firstDigit);
      value = digits.toInt();
      break;
    }
    default:
      return std::nullopt;
  }
  return std::min(value, kMaxFillValue);
}

void RangeFill::cmdFillData_Click() {
  guarded(log_, "frmPartFill->cmdFillData_Click", [&] {
    const std::optional<int> value = fillValue(txtFillData, cboFillData);
    if (!value) return;
    const int start = B_To_D(H_To_B(txtStartAddr));
    const int end = B_To_D(H_To_B(txtEndAddr));
    view_.fillRange(start, end, *value);
  });
}

}  // namespace zr
