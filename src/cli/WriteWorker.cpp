#include "cli/WriteWorker.h"

#include <QJsonDocument>
#include <algorithm>

#include "cli/CliCommon.h"

namespace zr::cli {

namespace {
void printJsonLine(const QJsonObject& o) {
  printOut(QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)));
  // The station reads the lines as they come, not when the write ends.
  std::fflush(stdout);
}
}  // namespace

WorkerReport::WorkerReport(bool on) : on_(on) { clock_.start(); }

void WorkerReport::follow(Transfer& transfer, const QString& stage) {
  if (!on_) return;
  stage_ = stage;
  shown_ = -1;
  QObject::connect(&transfer, &Transfer::stateChanged, [this, &transfer, stage] {
    const int percent = transfer.state().progress;
    // The window's reset at the end (bar back to 0) is no progress.
    if (stage != stage_ || percent <= shown_) return;
    shown_ = percent;
    QJsonObject o;
    o[QStringLiteral("event")] = QStringLiteral("progress");
    o[QStringLiteral("stage")] = stage;
    o[QStringLiteral("percent")] = percent;
    printJsonLine(o);
  });
}

void WorkerReport::finish(RadioResult r) {
  if (!on_) return;
  r.seconds = static_cast<double>(clock_.elapsed()) / 1000.0;
  QJsonObject o = r.toJson();
  o[QStringLiteral("event")] = QStringLiteral("result");
  printJsonLine(o);
}

namespace {

// The words that say why: the transfer's own lines without the system's
// general "Communication failed" text when a cause follows it (a partly
// written radio leads with what it now holds, as the single write says it).
QString causeOf(const Transfer& transfer) {
  QStringList lines = transfer.failureLines();
  switch (transfer.outcome()) {
    case TransferOutcome::PortNotFound:
    case TransferOutcome::TooManyFailures:
    case TransferOutcome::StageFailed:
    case TransferOutcome::PortLost:
      if (lines.size() > 1) lines.removeFirst();
      break;
    default: break;
  }
  return lines.join(u' ');
}

}  // namespace

RadioResult radioResultOf(const Transfer& transfer, bool ok, const QString& port) {
  RadioResult r;
  r.port = port;
  const QByteArray& ident = transfer.radioIdent();
  if (!ident.isEmpty()) r.ident = QString::fromLatin1(ident.toHex().toUpper());
  // The information block is read only near the end of a write; before it
  // the model code is unknown, not 0.
  bool infoRead = false;
  for (const uint8_t b : transfer.RadioInfo.bytes) infoRead = infoRead || b != 0;
  if (infoRead) r.modelCode = transfer.RadioInfo.RadioModelCode();
  if (ok) {
    r.result = BatchOutcome::Ok;
    return r;
  }
  const LinkFailure& failure = transfer.failure();
  r.failure = failure;
  r.cause = causeOf(transfer);
  // The radio took the whole write and only the read-back failed: what it
  // holds is complete, but not confirmed.
  if (transfer.outcome() == TransferOutcome::VerifyFailed || transfer.writeSent()) {
    r.result = BatchOutcome::VerifyFailed;
  } else if (failure.partlyWritten()) {
    r.result = BatchOutcome::PartlyWritten;
  } else if (failure.kind == LinkFailure::Kind::NoAnswer && failure.blocksAcknowledged == 0 && r.ident.isEmpty()) {
    // Not one byte came back: there is no radio on this cable (or it is off).
    r.result = BatchOutcome::NoRadio;
    r.cause = QStringLiteral("no radio answered on %1").arg(port);
  } else {
    r.result = BatchOutcome::Failed;
  }
  if (r.cause.isEmpty()) r.cause = QStringLiteral("the transfer failed");
  return r;
}

}  // namespace zr::cli
