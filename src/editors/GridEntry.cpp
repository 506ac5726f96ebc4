#include "editors/GridEntry.h"

#include <cmath>

#include "editors/Editors.h"
#include "editors/GridColumns.h"
#include "editors/ToneEntry.h"

namespace zr {

namespace {

constexpr int kMaxTypedChars = 9;  // "###.#####"
constexpr int kMaxToneChars = 5;   // "254.1", "D023N"

// The value a person meant by a decimal MHz text, in 10 Hz units; nullopt
// when it has no plain reading.
std::optional<long long> meantValue(const QString& text) {
  bool ok = false;
  const double mhz = text.toDouble(&ok);
  if (!ok || !std::isfinite(mhz) || std::fabs(mhz) > 1e6) return std::nullopt;
  return std::llround(mhz * 100000.0);
}

bool isDcsText(const QString& t) { return t.size() == 5 && t.startsWith(u'D'); }

}  // namespace

static QString bandNote(int before, int stored) {
  return QStringLiteral("%1 MHz is outside the band, kept as %2 MHz")
      .arg(ChannelGrid::mhzText(before), ChannelGrid::mhzText(stored));
}

QString frequencyEntryNote(const QString& typedText, int stored) {
  const QString t = typedText.trimmed();
  if (t.isEmpty() || stored < 0) return {};
  if (t.size() > kMaxTypedChars)
    return QStringLiteral("\"%1\" has too many characters (at most %2, as ###.#####); stored as %3 MHz")
        .arg(t)
        .arg(kMaxTypedChars)
        .arg(ChannelGrid::mhzText(stored));
  const std::optional<int> typed = ChannelGrid::typedFrequency(t);
  if (!typed) return {};
  QStringList what;
  const std::optional<long long> meant = meantValue(t);
  if (meant && *meant != *typed)
    what << QStringLiteral("read as %1 MHz because the grid reads three digits before the point")
                .arg(ChannelGrid::mhzText(*typed));
  const int snapped = ChannelGrid::ModifyTxRxFre(*typed);
  if (snapped != *typed)
    what << QStringLiteral("snapped to the 250 Hz raster: %1 MHz").arg(ChannelGrid::mhzText(snapped));
  if (stored != snapped) what << bandNote(snapped, stored);
  return what.join(QStringLiteral("; "));
}

QString toneEntryNote(const QString& entry, const QString& stored) {
  if (stored == entry || (entry.startsWith(u'D') && entry + u'N' == stored)) return {};
  if (isDcsText(stored)) return QStringLiteral("\"%1\" read as the DCS code %2").arg(entry, stored);
  bool a = false, b = false;
  const bool sameNumber = entry.toDouble(&a) == stored.toDouble(&b) && a && b;
  return sameNumber ? QString() : QStringLiteral("\"%1\" read as %2").arg(entry, stored);
}

void GridEntry::report(const QString& column, const QString& message) {
  problems_.push_back({line_, column, message});
}

GridEntry::GridEntry(Editors& e, std::vector<CsvProblem>& problems)
    : e_(e), problems_(problems), step_(e.grid.history()) {}

bool GridEntry::channelEmpty(int ch) const { return e_.core.ChTable.get(kRowRx, ch) == -1; }
bool GridEntry::hasTx(int ch) const { return e_.core.ChTable.get(kRowTx, ch) != -1; }

bool GridEntry::typeFrequency(int ch, int col, const QString& raw, const QString& column) {
  ChannelGrid& g = e_.grid;
  const QString t = raw.trimmed();
  if (t.isEmpty()) {
    // An empty receive cell of a file leaves the channel alone; an empty
    // transmit cell means no transmit frequency.
    if (col == kColRx || channelEmpty(ch) || !hasTx(ch)) return true;
  } else if (!ChannelGrid::isNumeric(t)) {
    report(column, QStringLiteral("not a frequency: \"%1\"").arg(t));
    return false;
  }
  if (!g.beforeEdit(ch, col)) {
    report(column, QStringLiteral("cannot be entered here"));
    return false;
  }
  g.setCursor(ch, col);
  g.GridChAfterEdit(ch, col, t, -1);
  if (t.isEmpty()) return true;

  const QString what = frequencyEntryNote(t, e_.core.ChTable.get(col, ch));
  if (!what.isEmpty()) report(column, what);
  return true;
}

bool GridEntry::enterFrequency(int ch, int col, long long value, const QString& column) {
  ChannelGrid& g = e_.grid;
  if (value < 0) return typeFrequency(ch, col, QString(), column);
  if (!g.beforeEdit(ch, col)) {
    report(column, QStringLiteral("cannot be entered here"));
    return false;
  }
  QStringList what;
  int snapped = 0;
  if (value > 99999999) {
    what << QStringLiteral("%1 MHz is above anything the grid holds").arg(static_cast<double>(value) / 100000.0, 0, 'f', 5);
    snapped = e_.band.BandMax;
  } else {
    snapped = ChannelGrid::ModifyTxRxFre(value);
    if (snapped != value)
      what << QStringLiteral("snapped to the 250 Hz raster: %1 MHz").arg(ChannelGrid::mhzText(snapped));
  }
  // The grid reads its cells as ###.#####: an in-band value always has that
  // shape, so the band edge is applied before the text is entered.
  const int inBand = std::clamp(snapped, e_.band.BandMin, e_.band.BandMax);
  g.setCursor(ch, col);
  g.GridChAfterEdit(ch, col, ChannelGrid::mhzText(inBand), -1);
  const int stored = e_.core.ChTable.get(col, ch);
  if (stored != snapped) what << bandNote(snapped, stored);
  if (!what.isEmpty()) report(column, what.join(QStringLiteral("; ")));
  return true;
}

bool GridEntry::typeTone(int ch, int col, const QString& raw, const QString& column) {
  Core& c = e_.core;
  ChannelGrid& g = e_.grid;
  const QString t = raw.trimmed();
  const QString noTone = c.tones.NoToneText();
  if (channelEmpty(ch) || (col == kColEncode && !hasTx(ch))) {
    if (!t.isEmpty() && t.compare(noTone, Qt::CaseInsensitive) != 0)
      report(column, QStringLiteral("the channel has no %1 frequency for this tone")
                         .arg(col == kColEncode ? QStringLiteral("transmit") : QStringLiteral("receive")));
    return false;
  }
  // "none" in any case is the no-tone entry of the list.
  const QString entry = t.isEmpty() || t.compare(noTone, Qt::CaseInsensitive) == 0 ? noTone : t;
  const std::optional<QString> result = canonicalToneText(entry, noTone);
  if (!result) {
    const QString kept = col == kColDecode ? c.ChTable.decodeTone(ch) : c.ChTable.encodeTone(ch);
    report(column, entry.size() > kMaxToneChars
                       ? QStringLiteral("not a tone: \"%1\" has too many characters (at most %2); kept %3")
                             .arg(entry)
                             .arg(kMaxToneChars)
                             .arg(kept)
                       : QStringLiteral("not a tone: \"%1\"; kept %2").arg(entry, kept));
    return false;
  }
  if (*result == noTone && entry != noTone) {
    report(column, QStringLiteral("not a tone: \"%1\"; stored as %2").arg(entry, noTone));
  } else if (const QString note = toneEntryNote(entry, *result); !note.isEmpty()) {
    report(column, note);
  }
  g.click(ch, col);
  g.setPickerText(entry);
  g.pickerFocusOut();
  return true;
}

int GridEntry::optionIndex(int col, const QString& text) const {
  const QString t = text.trimmed();
  for (int v = 0; v < ChColumnDefs::kMaxItems; ++v) {
    const QString option = e_.core.columns.optionText(col, v);
    if (!option.isEmpty() && option.compare(t, Qt::CaseInsensitive) == 0) return v;
  }
  return -1;
}

bool GridEntry::chooseOption(int ch, int col, const QString& raw, const QString& column) {
  const QString t = raw.trimmed();
  const int index = optionIndex(col, t);
  if (index < 0) {
    QStringList options;
    for (int v = 0; v < ChColumnDefs::kMaxItems; ++v) {
      const QString option = e_.core.columns.optionText(col, v);
      if (option.isEmpty()) break;
      options << option;
    }
    report(column, QStringLiteral("not an option of this column: \"%1\" (%2)").arg(t, options.join(QStringLiteral(", "))));
    return false;
  }
  if (!e_.grid.beforeEdit(ch, col)) {
    report(column, QStringLiteral("cannot be entered here"));
    return false;
  }
  e_.grid.GridChAfterEdit(ch, col, e_.core.columns.optionText(col, index), index);
  return true;
}

int GridEntry::findOptionColumn(const QStringList& texts, const QString& caption) const {
  const ChColumnDefs& cols = e_.core.columns;
  const QStringList captions = cols.captions();
  for (int j = kColFirstOption; j <= cols.columnCount && j < ChannelTable::kRows; ++j) {
    if (!caption.isEmpty() && j < captions.size() && captions[j].trimmed().compare(caption, Qt::CaseInsensitive) == 0)
      return j;
    if (texts.isEmpty()) continue;
    bool all = true;
    for (const QString& t : texts) all = all && optionIndex(j, t) >= 0;
    if (all) return j;
  }
  return 0;
}

}  // namespace zr
