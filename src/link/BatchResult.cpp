#include "link/BatchResult.h"

#include <QJsonArray>
#include <QJsonValue>
#include <cmath>
#include <array>

namespace zr {

namespace {

struct OutcomeName {
  BatchOutcome outcome;
  const char* word;
};
constexpr std::array<OutcomeName, 5> kOutcomeNames{{
    {BatchOutcome::Ok, "ok"},
    {BatchOutcome::VerifyFailed, "verify-failed"},
    {BatchOutcome::PartlyWritten, "partly-written"},
    {BatchOutcome::Failed, "failed"},
    {BatchOutcome::NoRadio, "no-radio"},
}};

constexpr int kRadioIdLength = 6;

// A CSV cell, quoted when it holds a separator, a quote or a line break.
QString csvCell(const QString& text) {
  if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r')) return text;
  QString quoted = text;
  quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
  return u'"' + quoted + u'"';
}

QString secondsText(double s) { return QString::number(s, 'f', 1); }

}  // namespace

QString outcomeWord(BatchOutcome o) {
  for (const OutcomeName& n : kOutcomeNames)
    if (n.outcome == o) return QString::fromLatin1(n.word);
  return QStringLiteral("failed");
}

std::optional<BatchOutcome> outcomeFromWord(const QString& word) {
  for (const OutcomeName& n : kOutcomeNames)
    if (word == QLatin1String(n.word)) return n.outcome;
  return std::nullopt;
}

QJsonObject RadioResult::toJson() const {
  QJsonObject o;
  o[QStringLiteral("port")] = port;
  o[QStringLiteral("round")] = round;
  o[QStringLiteral("result")] = outcomeWord(result);
  o[QStringLiteral("cause")] = cause;
  o[QStringLiteral("seconds")] = std::round(seconds * 10) / 10;
  o[QStringLiteral("model_code")] = modelCode < 0 ? QJsonValue() : QJsonValue(modelCode);
  o[QStringLiteral("ident")] = ident.isEmpty() ? QJsonValue() : QJsonValue(ident);
  o[QStringLiteral("radio_id")] = radioId.isEmpty() ? QJsonValue() : QJsonValue(radioId);
  o[QStringLiteral("backups")] = QJsonArray::fromStringList(backups);
  return o;
}

RadioResult RadioResult::fromJson(const QJsonObject& o) {
  RadioResult r;
  r.port = o.value(QStringLiteral("port")).toString();
  r.round = o.value(QStringLiteral("round")).toInt();
  r.result = outcomeFromWord(o.value(QStringLiteral("result")).toString()).value_or(BatchOutcome::Failed);
  r.cause = o.value(QStringLiteral("cause")).toString();
  r.seconds = o.value(QStringLiteral("seconds")).toDouble();
  r.modelCode = o.value(QStringLiteral("model_code")).toInt(-1);
  r.ident = o.value(QStringLiteral("ident")).toString();
  r.radioId = o.value(QStringLiteral("radio_id")).toString();
  for (const QJsonValue& v : o.value(QStringLiteral("backups")).toArray()) r.backups << v.toString();
  return r;
}

QString RadioResult::line() const {
  QString s = QStringLiteral("%1 %2 %3 %4").arg(port).arg(round).arg(outcomeWord(result), secondsText(seconds));
  if (!radioId.isEmpty()) s += QStringLiteral(" id=") + radioId;
  if (!cause.isEmpty()) s += u' ' + cause;
  return s;
}

QString batchCsvHeader() {
  return QStringLiteral("time,port,round,model_code,ident,radio_id,result,cause,seconds,backups");
}

QString RadioResult::csvRow(const QDateTime& when) const {
  const QStringList cells{when.toString(Qt::ISODate),
                          port,
                          QString::number(round),
                          modelCode < 0 ? QString() : QString::number(modelCode),
                          ident,
                          radioId,
                          outcomeWord(result),
                          cause,
                          secondsText(seconds),
                          backups.join(u';')};
  QStringList quoted;
  for (const QString& c : cells) quoted << csvCell(c);
  return quoted.join(u',');
}

bool isRadioId(const QString& text) {
  if (text.size() != kRadioIdLength) return false;
  for (const QChar c : text)
    if (c < u'1' || c > u'9') return false;
  return true;
}

QString nextRadioId(const QString& id) {
  if (!isRadioId(id)) return {};
  QString next = id;
  // Counting in digits 1 to 9: a 9 rolls over to 1 and carries.
  for (int i = kRadioIdLength - 1; i >= 0; --i) {
    if (next[i] != u'9') {
      next[i] = QChar(next[i].unicode() + 1);
      return next;
    }
    next[i] = u'1';
  }
  return {};
}

}  // namespace zr
