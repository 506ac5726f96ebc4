#include "cli/WriteWorker.h"

#include <QJsonDocument>

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
  transfer.addListener([this, &transfer, stage] {
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

RadioResult radioResultOf(const Transfer& transfer, bool ok, const QString& port, bool blocksAcknowledged) {
  RadioResult r;
  r.port = port;
  const QByteArray& ident = transfer.radioIdent();
  if (!ident.isEmpty()) r.ident = QString::fromLatin1(ident.toHex().toUpper());
  const int model = transfer.RadioInfo.RadioModelCode();
  // The information block is read only near the end of a write; before it
  // the model code is unknown, not 0.
  bool infoRead = false;
  for (const uint8_t b : transfer.RadioInfo.bytes) infoRead = infoRead || b != 0;
  if (infoRead) r.modelCode = model;
  if (ok) {
    r.result = BatchOutcome::Ok;
    return r;
  }
  r.cause = transfer.failureText();
  switch (transfer.outcome()) {
    case TransferOutcome::VerifyFailed: r.result = BatchOutcome::VerifyFailed; break;
    case TransferOutcome::PortNotFound:
      // A port that would not open is a fault of the station, not an empty cable.
      if (transfer.portProblem().isEmpty()) {
        r.result = BatchOutcome::NoRadio;
        r.cause = QStringLiteral("no radio answered on %1").arg(port);
      } else {
        r.result = BatchOutcome::Failed;
        r.cause = transfer.portProblem();
      }
      break;
    default:
      r.result = blocksAcknowledged ? BatchOutcome::PartlyWritten : BatchOutcome::Failed;
      break;
  }
  if (r.cause.isEmpty()) r.cause = QStringLiteral("the transfer failed");
  return r;
}

}  // namespace zr::cli
