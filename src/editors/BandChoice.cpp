#include "editors/BandChoice.h"

#include <QRegularExpression>
#include <cmath>

#include "editors/BandModel.h"

namespace zr {

namespace {

QString squeezed(const QString& text) {
  QString s = text;
  s.remove(u' ');
  return s.toLower();
}

// "#N" for a list position; -1 when the text is not of that shape, -2 when
// the position is outside 0..count-1.
int listPosition(const QString& text, int count) {
  static const QRegularExpression re(QStringLiteral("^#(\\d+)$"));
  const auto m = re.match(text.trimmed());
  if (!m.hasMatch()) return -1;
  bool ok = false;
  const int n = m.captured(1).toInt(&ok);
  return ok && n < count ? n : -2;
}

}  // namespace

QString chooseModel(BandModel& band, const QString& text) {
  const QStringList& models = band.modelTexts();
  int position = listPosition(text, static_cast<int>(models.size()));
  if (position == -2) return QStringLiteral("the model list has no position %1").arg(text.trimmed());
  for (int k = 0; position < 0 && k < models.size(); ++k)
    if (squeezed(models[k]) == squeezed(text)) position = k;
  if (position < 0) return QStringLiteral("\"%1\" is not a model of the list (%2)").arg(text, models.join(QStringLiteral(", ")));
  band.selectModel(position);
  return {};
}

QString chooseBand(BandModel& band, const QString& text) {
  int position = listPosition(text, BandModel::kRangeCount);
  if (position == -2) return QStringLiteral("the range list has no position %1").arg(text.trimmed());
  if (position == BandModel::kCustomPosition)
    return QStringLiteral("a custom range is given as LOW-HIGH in MHz, for example 144-148");
  for (int p = 0; position < 0 && p < BandModel::kRangeCount; ++p)
    if (p != BandModel::kCustomPosition && squeezed(band.rangeText(p)) == squeezed(text)) position = p;
  if (position >= 0) {
    band.cboFrequency_Click(position);
    return {};
  }

  static const QRegularExpression pair(QStringLiteral("^\\s*(\\d+(?:\\.\\d*)?)\\s*-\\s*(\\d+(?:\\.\\d*)?)\\s*(?:mhz)?\\s*$"),
                                       QRegularExpression::CaseInsensitiveOption);
  const auto m = pair.match(text);
  if (!m.hasMatch())
    return QStringLiteral("\"%1\" is not a range of the list nor LOW-HIGH in MHz").arg(text);
  const long long lo = std::llround(m.captured(1).toDouble() * 100000.0);
  const long long hi = std::llround(m.captured(2).toDouble() * 100000.0);
  if (lo < kBandFloor || hi > kBandCeiling || hi < lo)
    return QStringLiteral("a custom range lies between 120 and 520 MHz with LOW not above HIGH, not %1").arg(text.trimmed());
  for (int p = 0; p < BandModel::kRangeCount; ++p)
    if (p != BandModel::kCustomPosition && BandModel::kRanges[p].min == lo && BandModel::kRanges[p].max == hi) {
      band.cboFrequency_Click(p);
      return {};
    }
  // The custom range dialog, answered with the two texts.
  const ScriptedCustomRange answer(band, CustomTexts{m.captured(1), m.captured(2)});
  band.cboFrequency_Click(BandModel::kCustomPosition);
  return {};
}

}  // namespace zr
