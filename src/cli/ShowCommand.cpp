// zr417-cli show FILE.dat [--json]: what the editors show after opening a file.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/CliCommon.h"
#include "cli/CliParser.h"
#include "editors/GridColumns.h"
#include "editors/PttIdPause.h"
#include "editors/TwoToneTable.h"

namespace zr::cli {

namespace {


QString mhz(int f) {
  if (f < 0) return QString();
  return QStringLiteral("%1.%2").arg(f / 100000).arg(f % 100000, 5, 10, QLatin1Char('0'));
}

// A frequency as the grid shows it ("146.52000"), empty for none: the integer
// beside it is in 10 Hz units, -1 for none.
QString mhzOrEmpty(int frequency) { return frequency == -1 ? QString() : ChannelGrid::mhzText(frequency); }

QJsonObject channelJson(const Core& c, int ch) {
  QJsonObject o;
  o.insert(QStringLiteral("channel"), ch);
  const int rx = c.ChTable.get(kRowRx, ch);
  o.insert(QStringLiteral("rx"), rx);
  o.insert(QStringLiteral("rx_mhz"), mhzOrEmpty(rx));
  if (rx == -1) {
    // An empty slot: the grid shows a blank row.
    o.insert(QStringLiteral("tx"), -1);
    o.insert(QStringLiteral("tx_mhz"), QString());
    o.insert(QStringLiteral("decode"), QString());
    o.insert(QStringLiteral("encode"), QString());
    o.insert(QStringLiteral("options"), QJsonObject());
    return o;
  }
  const int tx = c.ChTable.get(kRowTx, ch);
  o.insert(QStringLiteral("tx"), tx);
  o.insert(QStringLiteral("tx_mhz"), mhzOrEmpty(tx));
  o.insert(QStringLiteral("decode"), c.ChTable.decodeTone(ch));
  // As the grid shows it: no encode tone without a transmit frequency.
  o.insert(QStringLiteral("encode"), tx == -1 ? QString() : c.ChTable.encodeTone(ch));
  QJsonObject options;
  for (int j = kColFirstOption; j <= c.columns.columnCount && j < ChannelTable::kRows; ++j) {
    QJsonObject opt;
    const int v = c.ChTable.get(j, ch);
    opt.insert(QStringLiteral("value"), v);
    opt.insert(QStringLiteral("text"), c.columns.optionText(j, v));
    options.insert(QString::number(j), opt);
  }
  o.insert(QStringLiteral("options"), options);
  return o;
}

void printSummary(const Core& c) {
  const QStringList captions = c.columns.captions();
  auto caption = [&](int j, const QString& fallback) {
    const QString t = j < captions.size() ? captions[j].trimmed() : QString();
    return (t.isEmpty() || t == QStringLiteral("0")) ? fallback : t;
  };
  QStringList header{QStringLiteral("CH"), caption(1, QStringLiteral("Rx")), caption(2, QStringLiteral("Tx")),
                     caption(3, QStringLiteral("Decode")), caption(4, QStringLiteral("Encode"))};
  for (int j = kColFirstOption; j <= c.columns.columnCount && j < ChannelTable::kRows; ++j)
    header << caption(j, QStringLiteral("Col%1").arg(j));
  std::vector<QStringList> rows{header};
  for (int ch = 1; ch <= c.columns.channelCount; ++ch) {
    QStringList r{QString::number(ch)};
    const int rx = c.ChTable.get(kRowRx, ch);
    if (rx == -1) {
      for (int j = 1; j < header.size(); ++j) r << QString();
    } else {
      const int tx = c.ChTable.get(kRowTx, ch);
      r << mhz(rx) << mhz(tx) << c.ChTable.decodeTone(ch) << (tx == -1 ? QString() : c.ChTable.encodeTone(ch));
      for (int j = kColFirstOption; j <= c.columns.columnCount && j < ChannelTable::kRows; ++j) {
        const int v = c.ChTable.get(j, ch);
        const QString t = c.columns.optionText(j, v);
        r << (t.isEmpty() ? QString::number(v) : t);
      }
    }
    rows.push_back(r);
  }
  std::vector<int> widths(static_cast<size_t>(header.size()), 0);
  for (const auto& r : rows)
    for (int j = 0; j < r.size(); ++j) widths[static_cast<size_t>(j)] = std::max<int>(widths[static_cast<size_t>(j)], static_cast<int>(r[j].size()));
  for (const auto& r : rows) {
    QString line;
    for (int j = 0; j < r.size(); ++j) line += r[j].leftJustified(widths[static_cast<size_t>(j)] + 2);
    printOut(line.trimmed());
  }
}

// The settings, frame by frame, as "name: shown text".
void printSettings(const SettingsMap& map) {
  QString frame;
  for (const FieldDef& d : map.fields()) {
    if (d.widget == Widget::Button) continue;
    const FieldState* st = map.state(d.name);
    if (!st) continue;
    if (d.frame != frame) {
      frame = d.frame;
      printOut(QString());
      printOut(QStringLiteral("[%1]").arg(frame));
    }
    QString shown;
    switch (d.widget) {
      case Widget::List: shown = st->entries.value(st->position); break;
      case Widget::Check: shown = st->checked ? QStringLiteral("on") : QStringLiteral("off"); break;
      default: shown = st->text; break;
    }
    const QString caption = map.caption(d).trimmed();
    printOut(QStringLiteral("%1 = %2%3").arg(d.name, shown,
                                             caption.isEmpty() ? QString() : QStringLiteral("    (%1)").arg(caption)));
  }
}

}  // namespace

int runShow(const GlobalOptions& global, const QStringList& args) {
  GlobalOptions g = global;
  CommandParser p(QStringLiteral("show"));
  if (auto exit = p.parse(args, g)) return *exit;
  const QStringList files = p.positionals();
  if (files.isEmpty()) return p.usageError(QStringLiteral("missing FILE.dat"));
  if (files.size() > 1) return p.usageError(QStringLiteral("only one file can be shown"));
  const QString file = files.first();
  if (file.isEmpty()) return p.usageError(QStringLiteral("no file name given"));
  const bool json = p.isSet(QStringLiteral("json"));
  warnNonDataFile(QStringLiteral("show"), file);
  auto session = startSession(g);
  Core& c = *session->core;
  if (!c.files.OpenFile(file)) return kExitFailed;  // the message (entry 83) is on stderr

  if (json) {
    QJsonObject root;
    // The layout of this object; it goes up only when a key changes meaning.
    root.insert(QStringLiteral("format"), 1);
    const BandModel& band = session->editors->band;
    QJsonObject model;
    model.insert(QStringLiteral("position"), band.modelPosition());
    model.insert(QStringLiteral("text"), band.modelTexts().value(band.modelPosition()));
    root.insert(QStringLiteral("model"), model);
    QJsonObject range;
    range.insert(QStringLiteral("position"), band.rangePosition());
    range.insert(QStringLiteral("text"), band.rangeText(band.rangePosition()));
    range.insert(QStringLiteral("min"), band.BandMin);
    range.insert(QStringLiteral("max"), band.BandMax);
    range.insert(QStringLiteral("min_mhz"), mhzOrEmpty(band.BandMin));
    range.insert(QStringLiteral("max_mhz"), mhzOrEmpty(band.BandMax));
    root.insert(QStringLiteral("band"), range);
    QJsonArray channels;
    for (int ch = 1; ch <= c.columns.channelCount; ++ch) channels.append(channelJson(c, ch));
    root.insert(QStringLiteral("channels"), channels);
    root.insert(QStringLiteral("settings"), session->editors->settings.settingsJson());
    root.insert(QStringLiteral("two_tone"), twoToneJson(c.image.TempArray));
    root.insert(QStringLiteral("ptt_id_pause"), pttIdPauseJson(c.image.TempArray));
    printOut(QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented)).trimmed());
  } else {
    const BandModel& band = session->editors->band;
    printOut(QStringLiteral("File: %1").arg(c.image.CurFilePath));
    printOut(QStringLiteral("Model: %1   Band: %2").arg(band.modelTexts().value(band.modelPosition()),
                                                        band.rangeText(band.rangePosition())));
    printSummary(c);
    printSettings(session->editors->settings);
  }
  return kExitOk;
}

}  // namespace zr::cli
