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

AcknowledgedBlocks::AcknowledgedBlocks(Transfer& transfer) : transfer_(transfer) {
  QObject::connect(&transfer, &Transfer::stateChanged, [this] {
    const int percent = transfer_.state().progress;
    // The bar moves only after a script succeeded; the reset at the end
    // (back to 0) is no step.
    if (percent > shown_ && transfer_.running()) {
      shown_ = percent;
      lastStep_ = std::max(lastStep_, transfer_.ComStep);
    }
  });
}

LinkFailure AcknowledgedBlocks::failure() const {
  LinkFailure f = failureOf(transfer_, QString());
  f.write = true;
  BlockPlan& plan = transfer_.plan();
  for (int i = 1; i <= plan.ComCodeNum(kDirWrite); ++i) {
    const ScriptEntry& e = plan.script(kDirWrite, i);
    if (e.ComCount <= 0) continue;  // the handshake and the closing acknowledgement
    ++f.blocksTotal;
    if (i <= lastStep_) {
      ++f.blocksAcknowledged;
      f.lastAcknowledgedAddress = e.ComAddr + e.ComCount - 1;
    }
  }
  // When every block went through, what failed came after them (the model
  // and band, the information reads, the end frame): still partly written,
  // unless the closing frames went through too.
  f.allSent = transfer_.writeSent();
  return f;
}

LinkFailure failureOf(const Transfer& transfer, const QString& device) {
  switch (transfer.outcome()) {
    case TransferOutcome::PortNotFound:
      // The port would not open: another program holds it, or it is not ours.
      if (!transfer.portProblem().isEmpty()) return LinkFailure::portBusy(device, transfer.portProblem());
      return LinkFailure::noAnswer();
    case TransferOutcome::Stopped: return LinkFailure::stoppedByUser();
    default: return LinkFailure::stoppedAnswering(0, -1);
  }
}

RadioResult radioResultOf(const Transfer& transfer, bool ok, const QString& port, const LinkFailure& failure) {
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
  r.cause = transfer.failureText();
  // The radio took the whole write and only the read-back failed: what it
  // holds is complete, but not confirmed.
  if (transfer.outcome() == TransferOutcome::VerifyFailed || transfer.writeSent()) {
    r.result = BatchOutcome::VerifyFailed;
  } else if (failure.partlyWritten()) {
    r.result = BatchOutcome::PartlyWritten;
    r.cause = partlyWrittenLine(failure) + (r.cause.isEmpty() ? QString() : QStringLiteral(" ") + r.cause);
  } else if (failure.kind == LinkFailure::Kind::NoAnswer && failure.blocksAcknowledged == 0 &&
             r.ident.isEmpty()) {
    // Not one byte came back: there is no radio on this cable (or it is off).
    r.result = BatchOutcome::NoRadio;
    r.cause = QStringLiteral("no radio answered on %1").arg(port);
  } else {
    r.result = BatchOutcome::Failed;
    if (failure.kind == LinkFailure::Kind::PortBusy || failure.kind == LinkFailure::Kind::PortGone)
      r.cause = failure.systemReason.isEmpty() ? r.cause : failure.systemReason;
  }
  if (r.cause.isEmpty()) r.cause = QStringLiteral("the transfer failed");
  return r;
}

}  // namespace zr::cli
