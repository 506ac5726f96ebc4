#include "editors/ChirpCsv.h"

#include <QRegularExpression>
#include <algorithm>
#include <map>
#include <optional>

#include "editors/ChannelCsv.h"
#include "editors/Editors.h"
#include "editors/GridColumns.h"

namespace zr {

namespace {


// CHIRP's defaults for the tone columns a row does not use.
const QString kDefaultCtcss = QStringLiteral("88.5");
const QString kDefaultDtcs = QStringLiteral("023");

// One tone as CHIRP sees it: none, a CTCSS frequency or a DCS code with its
// polarity ('N' normal, 'R' reversed, our "I").
struct ChirpTone {
  enum Kind { None, Ctcss, Dcs } kind = None;
  QString ctcss;    // "67.0"
  QString code;     // "023"
  QChar polarity = u'N';
};

ChirpTone fromOurTone(const QString& text) {
  ChirpTone t;
  if (text.size() == 5 && text.startsWith(u'D')) {
    t.kind = ChirpTone::Dcs;
    t.code = text.mid(1, 3);
    t.polarity = text.endsWith(u'I') ? u'R' : u'N';
  } else if (text.contains(u'.')) {
    t.kind = ChirpTone::Ctcss;
    t.ctcss = text;
  }
  return t;
}

QString toOurTone(const ChirpTone& t, const QString& noTone) {
  switch (t.kind) {
    case ChirpTone::Ctcss: return t.ctcss;
    case ChirpTone::Dcs:
      return QStringLiteral("D") + t.code + (t.polarity == u'R' ? QStringLiteral("I") : QStringLiteral("N"));
    default: return noTone;
  }
}

// Hz from a decimal MHz text ("146.520000", or "146,520000" from a spreadsheet
// set to a language with a decimal comma); nullopt when it is not one.
std::optional<long long> parseMhz(const QString& text) {
  static const QRegularExpression re(QStringLiteral("^\\s*([0-9]{1,4})(?:[.,]([0-9]*))?\\s*$"));
  const auto m = re.match(text);
  if (!m.hasMatch()) return std::nullopt;
  QString frac = m.captured(2);
  long long extra = 0;
  if (frac.size() > 6) {
    extra = frac[6] >= u'5' ? 1 : 0;  // below 1 Hz: rounded
    frac.truncate(6);
  }
  return m.captured(1).toLongLong() * 1000000LL + frac.leftJustified(6, u'0').toLongLong() + extra;
}

// Hz to 10 Hz units, rounded.
long long toUnits(long long hz) { return (hz + 5) / 10; }

QString mhz6(int units) {
  return QStringLiteral("%1.%2").arg(units / 100000).arg((units % 100000) * 10, 6, 10, QLatin1Char('0'));
}

std::optional<double> watts(const QString& text) {
  static const QRegularExpression re(QStringLiteral("^\\s*([0-9]*\\.?[0-9]+)\\s*W\\s*$"),
                                     QRegularExpression::CaseInsensitiveOption);
  const auto m = re.match(text);
  if (!m.hasMatch()) return std::nullopt;
  return m.captured(1).toDouble();
}

// The step CHIRP shows for a frequency: the largest of its usual steps that
// divides it.
QString stepFor(int units) {
  if (units % 625 == 0) return QStringLiteral("6.25");
  if (units % 500 == 0) return QStringLiteral("5.00");
  return QStringLiteral("2.50");
}

}  // namespace

const QStringList& chirpCsvHeader() {
  static const QStringList h{
      QStringLiteral("Location"),  QStringLiteral("Name"),       QStringLiteral("Frequency"),
      QStringLiteral("Duplex"),    QStringLiteral("Offset"),     QStringLiteral("Tone"),
      QStringLiteral("rToneFreq"), QStringLiteral("cToneFreq"),  QStringLiteral("DtcsCode"),
      QStringLiteral("DtcsPolarity"), QStringLiteral("RxDtcsCode"), QStringLiteral("CrossMode"),
      QStringLiteral("Mode"),      QStringLiteral("TStep"),      QStringLiteral("Skip"),
      QStringLiteral("Power"),     QStringLiteral("Comment"),    QStringLiteral("URCALL"),
      QStringLiteral("RPT1CALL"),  QStringLiteral("RPT2CALL"),   QStringLiteral("DVCODE")};
  return h;
}

bool isChirpCsvHeader(const QStringList& header) {
  QStringList names;
  for (const QString& h : header) names << h.trimmed();
  return names.contains(QStringLiteral("Location")) && names.contains(QStringLiteral("Frequency"));
}

QString exportChirpCsv(Editors& e) {
  const Core& c = e.core;
  std::vector<CsvProblem> unused;
  GridEntry columns(e, unused);  // only its column lookups are used
  const int powerCol = columns.findOptionColumn({QStringLiteral("High"), QStringLiteral("Low")});
  const int wideCol = columns.findOptionColumn({QStringLiteral("Wide"), QStringLiteral("Narrow")});
  const int scanCol = columns.findOptionColumn({}, QStringLiteral("Scan"));
  auto option = [&](int col, int ch) { return col ? c.columns.optionText(col, c.ChTable.get(col, ch)) : QString(); };

  QString out = csvLine(chirpCsvHeader()) + u'\n';
  const int n = std::min(c.columns.channelCount, ChannelTable::kChannels);
  for (int ch = 1; ch <= n; ++ch) {
    const int rx = c.ChTable.get(kRowRx, ch);
    if (rx == -1) continue;  // CHIRP lists only channels in use
    const int tx = c.ChTable.get(kRowTx, ch);
    QString duplex, offset = mhz6(0);
    if (tx == -1) {
      duplex = QStringLiteral("off");
    } else if (tx > rx) {
      duplex = QStringLiteral("+");
      offset = mhz6(tx - rx);
    } else if (tx < rx) {
      duplex = QStringLiteral("-");
      offset = mhz6(rx - tx);
    }
    const ChirpTone dec = fromOurTone(c.ChTable.decodeTone(ch));
    const ChirpTone enc = tx == -1 ? ChirpTone{} : fromOurTone(c.ChTable.encodeTone(ch));
    QString mode, rTone = kDefaultCtcss, cTone = kDefaultCtcss, dtcs = kDefaultDtcs, rxDtcs = kDefaultDtcs;
    QString cross = QStringLiteral("Tone->Tone");
    QChar txPol = u'N', rxPol = u'N';
    if (enc.kind == ChirpTone::None && dec.kind == ChirpTone::None) {
    } else if (enc.kind == ChirpTone::Ctcss && dec.kind == ChirpTone::None) {
      mode = QStringLiteral("Tone");
      rTone = enc.ctcss;
    } else if (enc.kind == ChirpTone::Ctcss && dec.kind == ChirpTone::Ctcss && enc.ctcss == dec.ctcss) {
      mode = QStringLiteral("TSQL");
      rTone = cTone = enc.ctcss;
    } else if (enc.kind == ChirpTone::Dcs && dec.kind == ChirpTone::Dcs && enc.code == dec.code) {
      mode = QStringLiteral("DTCS");
      dtcs = rxDtcs = enc.code;
      txPol = enc.polarity;
      rxPol = dec.polarity;
    } else {
      mode = QStringLiteral("Cross");
      auto side = [](const ChirpTone& t) {
        return t.kind == ChirpTone::Ctcss ? QStringLiteral("Tone")
                                          : t.kind == ChirpTone::Dcs ? QStringLiteral("DTCS") : QString();
      };
      cross = side(enc) + QStringLiteral("->") + side(dec);
      if (enc.kind == ChirpTone::Ctcss) rTone = enc.ctcss;
      if (enc.kind == ChirpTone::Dcs) {
        dtcs = enc.code;
        txPol = enc.polarity;
      }
      if (dec.kind == ChirpTone::Ctcss) cTone = dec.ctcss;
      if (dec.kind == ChirpTone::Dcs) {
        rxDtcs = dec.code;
        rxPol = dec.polarity;
      }
    }
    const QString width = option(wideCol, ch);
    const QStringList row{QString::number(ch),
                          QString(),
                          mhz6(rx),
                          duplex,
                          offset,
                          mode,
                          rTone,
                          cTone,
                          dtcs,
                          QString(txPol) + rxPol,
                          rxDtcs,
                          cross,
                          width.compare(QStringLiteral("Narrow"), Qt::CaseInsensitive) == 0 ? QStringLiteral("NFM")
                                                                                             : QStringLiteral("FM"),
                          stepFor(rx),
                          option(scanCol, ch).compare(QStringLiteral("Off"), Qt::CaseInsensitive) == 0
                              ? QStringLiteral("S")
                              : QString(),
                          csvText(option(powerCol, ch)),
                          QString(),
                          QString(),
                          QString(),
                          QString(),
                          QString()};
    out += csvLine(row) + u'\n';
  }
  return out;
}

bool importChirpCsv(Editors& e, const QString& csv, std::vector<CsvProblem>& problems) {
  Core& c = e.core;
  std::vector<int> fileLines;
  const std::vector<QStringList> rows = parseCsv(csv, &fileLines, csvDelimiter(csv));
  if (rows.empty() || !isChirpCsvHeader(rows[0])) {
    problems.push_back({1, QString(), QStringLiteral("not a CHIRP CSV file: the header must name Location and Frequency")});
    return false;
  }
  std::map<QString, int> at;
  for (int k = 0; k < rows[0].size(); ++k) at.emplace(rows[0][k].trimmed(), k);
  const auto cell = [&](const QStringList& row, const char* name) {
    const auto it = at.find(QLatin1String(name));
    return it == at.end() ? QString() : row.value(it->second).trimmed();
  };

  GridEntry entry(e, problems);
  const int powerCol = entry.findOptionColumn({QStringLiteral("High"), QStringLiteral("Low")});
  const int wideCol = entry.findOptionColumn({QStringLiteral("Wide"), QStringLiteral("Narrow")});
  const int scanCol = entry.findOptionColumn({}, QStringLiteral("Scan"));

  // Watt figures: the higher half of the file's range is High.
  double lowest = 0, highest = 0;
  bool anyWatts = false;
  for (size_t r = 1; r < rows.size(); ++r)
    if (const auto w = watts(cell(rows[r], "Power"))) {
      lowest = anyWatts ? std::min(lowest, *w) : *w;
      highest = anyWatts ? std::max(highest, *w) : *w;
      anyWatts = true;
    }

  const int n = std::min(c.columns.channelCount, ChannelTable::kChannels);
  const QString noTone = c.tones.NoToneText();
  for (size_t r = 1; r < rows.size(); ++r) {
    const QStringList& row = rows[r];
    entry.setLine(r < fileLines.size() ? fileLines[r] : static_cast<int>(r) + 1);

    bool ok = false;
    const int ch = cell(row, "Location").toInt(&ok);
    if (!ok) {
      entry.report(QStringLiteral("Location"), QStringLiteral("not a location: \"%1\"; row skipped").arg(cell(row, "Location")));
      continue;
    }
    if (ch < 1 || ch > n) {
      entry.report(QStringLiteral("Location"),
                   QStringLiteral("location %1 is not a channel of this radio (1 to %2); row skipped").arg(ch).arg(n));
      continue;
    }
    const auto rxHz = parseMhz(cell(row, "Frequency"));
    if (!rxHz) {
      entry.report(QStringLiteral("Frequency"),
                   QStringLiteral("not a frequency: \"%1\"; row skipped").arg(cell(row, "Frequency")));
      continue;
    }

    // Transmit frequency from Duplex and Offset.
    const QString duplex = cell(row, "Duplex").toLower();
    const QString offsetText = cell(row, "Offset");
    const auto offsetHz = offsetText.isEmpty() ? std::optional<long long>(0) : parseMhz(offsetText);
    std::optional<long long> txHz = *rxHz;
    QString txColumn = QStringLiteral("Duplex");
    if (duplex == QStringLiteral("off")) {
      txHz.reset();
    } else if (duplex == QStringLiteral("+") || duplex == QStringLiteral("-") || duplex == QStringLiteral("split")) {
      txColumn = QStringLiteral("Offset");
      if (!offsetHz) {
        entry.report(txColumn, QStringLiteral("not an offset: \"%1\"; transmits on the receive frequency").arg(offsetText));
      } else if (duplex == QStringLiteral("split")) {
        txHz = *offsetHz;
      } else {
        txHz = duplex == QStringLiteral("+") ? *rxHz + *offsetHz : *rxHz - *offsetHz;
      }
    } else if (!duplex.isEmpty()) {
      entry.report(txColumn, QStringLiteral("not a duplex (+, -, split, off or empty): \"%1\"; transmits on the receive "
                                            "frequency")
                                 .arg(cell(row, "Duplex")));
    }
    if (txHz && *txHz < 0) {
      entry.report(txColumn, QStringLiteral("the transmit frequency would be below 0 MHz; the channel does not transmit"));
      txHz.reset();
    }

    entry.enterFrequency(ch, kColRx, toUnits(*rxHz), QStringLiteral("Frequency"));
    if (entry.channelEmpty(ch)) continue;
    // Without a duplex the channel transmits on its receive frequency as stored.
    const bool simplex = txHz && *txHz == *rxHz;
    entry.enterFrequency(ch, kColTx, simplex ? c.ChTable.get(kRowRx, ch) : txHz ? toUnits(*txHz) : -1, txColumn);

    // Tones: what is sent (encode) and what opens the squelch (decode).
    const QString polarity = cell(row, "DtcsPolarity").toUpper();
    auto ctcss = [&](const char* column) -> std::optional<ChirpTone> {
      const QString t = cell(row, column);
      bool isNumber = false;
      // "88,5" from a spreadsheet that writes a decimal comma.
      const double hz = QString(t).replace(u',', u'.').toDouble(&isNumber);
      if (!isNumber || hz < 60.0 || hz > 265.0) {
        entry.report(QLatin1String(column), QStringLiteral("not a CTCSS tone: \"%1\"").arg(t));
        return std::nullopt;
      }
      ChirpTone tone;
      tone.kind = ChirpTone::Ctcss;
      tone.ctcss = QString::number(hz, 'f', 1);
      return tone;
    };
    auto dcs = [&](const char* column, int polarityAt) -> std::optional<ChirpTone> {
      static const QRegularExpression octal(QStringLiteral("^[0-7]{1,3}$"));
      const QString t = cell(row, column);
      if (!octal.match(t).hasMatch()) {
        entry.report(QLatin1String(column), QStringLiteral("not a DCS code: \"%1\"").arg(t));
        return std::nullopt;
      }
      ChirpTone tone;
      tone.kind = ChirpTone::Dcs;
      tone.code = t.rightJustified(3, u'0');
      const QChar p = polarity.size() > polarityAt ? polarity[polarityAt] : u'N';
      if (p != u'N' && p != u'R')
        entry.report(QStringLiteral("DtcsPolarity"), QStringLiteral("not a polarity pair (NN, NR, RN, RR): \"%1\"; read as "
                                                                    "normal")
                                                         .arg(cell(row, "DtcsPolarity")));
      tone.polarity = p == u'R' ? u'R' : u'N';
      return tone;
    };
    std::optional<ChirpTone> enc = ChirpTone{}, dec = ChirpTone{};
    const QString toneMode = cell(row, "Tone");
    if (toneMode.isEmpty()) {
    } else if (toneMode == QStringLiteral("Tone")) {
      enc = ctcss("rToneFreq");
    } else if (toneMode == QStringLiteral("TSQL")) {
      enc = dec = ctcss("cToneFreq");
    } else if (toneMode == QStringLiteral("DTCS")) {
      enc = dcs("DtcsCode", 0);
      dec = dcs("DtcsCode", 1);
    } else if (toneMode == QStringLiteral("Cross")) {
      const QString cross = cell(row, "CrossMode");
      const qsizetype arrow = cross.indexOf(QStringLiteral("->"));
      const QString send = arrow < 0 ? QString() : cross.left(arrow);
      const QString open = arrow < 0 ? QString() : cross.mid(arrow + 2);
      const QStringList sides{QString(), QStringLiteral("Tone"), QStringLiteral("DTCS")};
      if (arrow < 0 || !sides.contains(send) || !sides.contains(open)) {
        entry.report(QStringLiteral("CrossMode"),
                     QStringLiteral("a cross mode this radio cannot hold: \"%1\"; the channel gets no tones").arg(cross));
      } else {
        if (send == QStringLiteral("Tone")) enc = ctcss("rToneFreq");
        if (send == QStringLiteral("DTCS")) enc = dcs("DtcsCode", 0);
        if (open == QStringLiteral("Tone")) dec = ctcss("cToneFreq");
        if (open == QStringLiteral("DTCS")) dec = dcs("RxDtcsCode", 1);
      }
    } else {
      entry.report(QStringLiteral("Tone"), QStringLiteral("a tone mode this radio cannot hold: \"%1\"; the channel gets no "
                                                          "tones")
                                               .arg(toneMode));
    }
    if (!enc || !dec) enc = dec = ChirpTone{};  // a tone that could not be read: none rather than half a pair
    entry.typeTone(ch, kColDecode, toOurTone(*dec, noTone), QStringLiteral("Tone"));
    if (entry.hasTx(ch)) {
      entry.typeTone(ch, kColEncode, toOurTone(*enc, noTone), QStringLiteral("Tone"));
    } else if (enc->kind != ChirpTone::None) {
      entry.report(QStringLiteral("Tone"), QStringLiteral("the channel does not transmit; its transmit tone %1 is dropped")
                                               .arg(toOurTone(*enc, noTone)));
    }

    const QString mode = cell(row, "Mode");
    if (!mode.isEmpty()) {
      const QString width = mode == QStringLiteral("FM")    ? QStringLiteral("Wide")
                            : mode == QStringLiteral("NFM") ? QStringLiteral("Narrow")
                                                            : QString();
      if (width.isEmpty())
        entry.report(QStringLiteral("Mode"), QStringLiteral("a mode this radio cannot hold: \"%1\" (FM or NFM)").arg(mode));
      else if (wideCol)
        entry.chooseOption(ch, wideCol, width, QStringLiteral("Mode"));
      else
        entry.report(QStringLiteral("Mode"), QStringLiteral("the channel grid has no bandwidth column"));
    }

    const QString skip = cell(row, "Skip");
    if (scanCol) {
      if (skip.isEmpty() || skip == QStringLiteral("S")) {
        entry.chooseOption(ch, scanCol, skip.isEmpty() ? QStringLiteral("On") : QStringLiteral("Off"),
                           QStringLiteral("Skip"));
      } else {
        if (skip == QStringLiteral("P"))
          entry.report(QStringLiteral("Skip"), QStringLiteral("priority scan is not held; the channel is scanned"));
        else
          entry.report(QStringLiteral("Skip"), QStringLiteral("not a skip value (S, P or empty): \"%1\"; the channel is "
                                                              "scanned")
                                                   .arg(skip));
        entry.chooseOption(ch, scanCol, QStringLiteral("On"), QStringLiteral("Skip"));
      }
    }

    const QString power = cell(row, "Power");
    if (!power.isEmpty() && powerCol) {
      QString level;
      if (power.compare(QStringLiteral("High"), Qt::CaseInsensitive) == 0) level = QStringLiteral("High");
      else if (power.compare(QStringLiteral("Low"), Qt::CaseInsensitive) == 0) level = QStringLiteral("Low");
      else if (const auto w = watts(power))
        level = (highest == lowest || *w > (lowest + highest) / 2) ? QStringLiteral("High") : QStringLiteral("Low");
      if (level.isEmpty())
        entry.report(QStringLiteral("Power"), QStringLiteral("not a power level (High, Low or watts): \"%1\"").arg(power));
      else
        entry.chooseOption(ch, powerCol, level, QStringLiteral("Power"));
    }

    if (!cell(row, "Name").isEmpty())
      entry.report(QStringLiteral("Name"),
                   QStringLiteral("the radio holds no channel names; \"%1\" is dropped").arg(cell(row, "Name")));
  }
  return true;
}

}  // namespace zr
