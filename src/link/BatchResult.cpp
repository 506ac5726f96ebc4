#include "link/BatchResult.h"

#include <QJsonArray>
#include <QJsonValue>

#include "data/MemoryImage.h"
#include "link/BlockPlan.h"
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

constexpr LinkFailure::Kind kKinds[] = {
    LinkFailure::Kind::NoAnswer,      LinkFailure::Kind::StoppedAnswering, LinkFailure::Kind::UnexpectedReply,
    LinkFailure::Kind::PortGone,      LinkFailure::Kind::PortBusy,         LinkFailure::Kind::StoppedByUser,
};

QJsonValue jsonAddress(int address) { return address < 0 ? QJsonValue() : QJsonValue(address); }

QJsonValue failureJson(const LinkFailure& f) {
  if (!f.failed()) return QJsonValue();
  QJsonObject o;
  o[QStringLiteral("kind")] = kindName(f.kind);
  o[QStringLiteral("block")] = f.block;
  o[QStringLiteral("address")] = jsonAddress(f.address);
  if (!f.device.isEmpty()) o[QStringLiteral("device")] = f.device;
  if (f.write) {
    o[QStringLiteral("blocks_acknowledged")] = f.blocksAcknowledged;
    o[QStringLiteral("blocks_total")] = f.blocksTotal;
    o[QStringLiteral("last_address")] = jsonAddress(f.lastAcknowledgedAddress);
    o[QStringLiteral("all_sent")] = f.allSent;
  }
  return o;
}

LinkFailure failureFrom(const QJsonValue& v) {
  LinkFailure f;
  const QJsonObject o = v.toObject();
  const QString kind = o.value(QStringLiteral("kind")).toString();
  for (const LinkFailure::Kind k : kKinds)
    if (kind == kindName(k)) f.kind = k;
  if (!f.failed()) return {};
  f.block = o.value(QStringLiteral("block")).toInt();
  f.address = o.value(QStringLiteral("address")).toInt(-1);
  f.device = o.value(QStringLiteral("device")).toString();
  f.write = o.contains(QStringLiteral("blocks_total"));
  f.blocksAcknowledged = o.value(QStringLiteral("blocks_acknowledged")).toInt();
  f.blocksTotal = o.value(QStringLiteral("blocks_total")).toInt();
  f.lastAcknowledgedAddress = o.value(QStringLiteral("last_address")).toInt(-1);
  f.allSent = o.value(QStringLiteral("all_sent")).toBool();
  return f;
}

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
  o[QStringLiteral("failure")] = failureJson(failure);
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
  r.failure = failureFrom(o.value(QStringLiteral("failure")));
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

namespace {
QString modelText(int modelCode, uint8_t modelFlags) {
  return QStringLiteral("model code %1, byte 03D3 %2")
      .arg(modelCode)
      .arg(QString::number(modelFlags, 16).rightJustified(2, u'0').toUpper());
}
const QString kOnlySpecialModels =
    QStringLiteral("a write stores a new one only in models 100 to 149 that take the special blocks");
}  // namespace

QString radioIdRefusal(int modelCode, uint8_t modelFlags) {
  if (takesSpecialBlocks(modelCode, modelFlags)) return {};
  return QStringLiteral("this radio (%1) keeps its Radio ID: %2").arg(modelText(modelCode, modelFlags), kOnlySpecialModels);
}

QString radioIdRefusalForFile(const QByteArray& fileBytes, const QString& fileName) {
  // Data file layout: image 0x0010-0x03FF sits 16 bytes further on.
  constexpr int kFileShift = 0x10;
  if (fileBytes.size() != kDataFileSize) return {};
  const auto byteAt = [&](int addr) { return static_cast<uint8_t>(fileBytes[addr + kFileShift]); };
  const uint8_t code = byteAt(kModelCodeAddr), flags = byteAt(kModelFlagsAddr);
  constexpr uint8_t kErased = 0xFF;
  if (code == kErased || takesSpecialBlocks(code, flags)) return {};
  return QStringLiteral("%1 was read from a radio of %2, which keeps its Radio ID: %3")
      .arg(fileName, modelText(code, flags), kOnlySpecialModels);
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
