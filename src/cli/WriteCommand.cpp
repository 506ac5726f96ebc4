// zr417-cli write: the write transfer of the communication window, run from
// the command line on a port number or a device path. With --json it is the
// batch station's worker for one port (WriteWorker.h).
#include "cli/CliLink.h"
#include "cli/CliParser.h"
#include "cli/WriteWorker.h"
#include "data/DataFileCheck.h"
#include "data/DataFiles.h"
#include "editors/SettingsRulesFurther.h"

namespace zr::cli {

namespace {

// Puts the Radio ID into the image through the six digit lists, as picking
// the digits on the settings page would.
bool setRadioId(Session& s, const QString& id) {
  for (int i = 0; i < kRadioIdDigits; ++i)
    if (!s.editors->settings.setPosition(radioIdName(i), id[i].digitValue())) return false;
  return true;
}

// One read before the write, of addresses first..last only: the read range
// of the settings is swapped for it and put back afterwards, whatever
// happens. `prepare` sets the transfer up before it starts (a backup kept of
// it, progress followed). False when nothing could be read: the cause is
// printed and put into `result` (a failed read says `nothingWritten` and
// its cause is led by `causePrefix`); `result` keeps its Radio ID and backups.
template <typename Prepare>
bool readRangeFirst(Session& session, LinkRun& run, const LinkOptions& link, int first, int last,
                    Prepare&& prepare, RadioResult& result, const QString& nothingWritten,
                    const QString& causePrefix) {
  AppSettings& s = session.core->settings;
  int messagesBefore = 0;
  {
    struct PutBack {
      AppSettings& s;
      int start, end;
      ~PutBack() {
        s.ReadStartAddr = start;
        s.ReadEndAddr = end;
      }
    } putBack{s, s.ReadStartAddr, s.ReadEndAddr};
    s.ReadStartAddr = first;
    s.ReadEndAddr = last;
    const QString portProblem = choosePort(run, *session.core, link);
    if (!portProblem.isEmpty()) {
      printErr(QStringLiteral("zr417-cli write: ") + portProblem);
      result.cause = portProblem;
      return false;
    }
    prepare(run.transfer);
    messagesBefore = static_cast<int>(session.prompts.messages.size());
    if (run.transfer.cmdRead()) return true;
  }
  // The read range is the configured one again before the failure is told.
  reportFailure(session, run, QStringLiteral("Read Failed"), messagesBefore);
  printErr(QStringLiteral("zr417-cli write: ") + nothingWritten);
  const QString radioId = result.radioId;
  const QStringList backups = result.backups;
  result = radioResultOf(run.transfer, false, link.port);
  result.radioId = radioId;
  result.backups = backups;
  if (result.result != BatchOutcome::NoRadio) result.cause = causePrefix + result.cause;
  return false;
}

// Reads the range the write is about to replace and keeps it as a copy
// named "before-write", so that a radio written by mistake can be put back.
bool backUpBeforeWrite(Session& session, const LinkOptions& link, WorkerReport& report, RadioResult& failure) {
  Core& c = *session.core;
  LinkRun run(session, QStringLiteral("write"));
  const auto keepCopy = [&](Transfer& t) {
    t.readBackupKind = QStringLiteral("before-write");
    report.follow(t, QStringLiteral("backup"));
  };
  if (!readRangeFirst(session, run, link, c.settings.WriteStartAddr, c.settings.WriteEndAddr, keepCopy, failure,
                      QStringLiteral("the radio's memory could not be kept before the write; nothing was written"),
                      QStringLiteral("backup before the write failed: ")))
    return false;
  run.progress.finish();
  const BackupCopy& copy = run.transfer.lastBackup();
  if (!copy.ok() || copy.rawPath.isEmpty()) {
    printErr(QStringLiteral("zr417-cli write: no copy of the radio's memory could be kept (%1); nothing was written")
                 .arg(copy.failure));
    failure.cause = QStringLiteral("no backup copy: ") + copy.failure;
    return false;
  }
  printErr(QStringLiteral("Backup before write: ") + copy.rawPath);
  failure.backups << copy.rawPath;
  return true;
}

// A Radio ID reaches only the models that take the special blocks of a
// write, and which model is on the cable only the radio can tell: its model
// bytes are read (or taken from the backup just read) before anything is
// written. False, with `result` filled in, when they cannot be read or name
// a radio that would keep its old ID.
bool radioTakesId(Session& session, const LinkOptions& link, bool backedUp, const QString& radioId,
                  RadioResult& result) {
  Core& c = *session.core;
  const AppSettings& s = c.settings;
  const bool inBackup = backedUp && s.WriteStartAddr <= kModelFlagsAddr && s.WriteEndAddr >= kModelCodeAddr;
  if (!inBackup) {
    LinkRun run(session, QStringLiteral("write"));
    // A look at two bytes, not a copy worth keeping.
    const auto noCopy = [](Transfer& t) { t.readBackupKind.clear(); };
    if (!readRangeFirst(session, run, link, kInfoBlockAddr, kModelCodeAddr, noCopy, result,
                        QStringLiteral("the radio's model could not be read to give it its Radio ID; nothing was "
                                       "written"),
                        QStringLiteral("reading the radio's model failed: ")))
      return false;
    run.progress.finish();
    const QByteArray& ident = run.transfer.radioIdent();
    if (!ident.isEmpty()) result.ident = QString::fromLatin1(ident.toHex().toUpper());
  }
  const int code = c.image.TempArray.at(kModelCodeAddr);
  const QString refusal = radioIdRefusal(code, c.image.TempArray.at(kModelFlagsAddr));
  if (refusal.isEmpty()) return true;
  result.modelCode = code;
  result.result = BatchOutcome::Failed;
  result.cause = QStringLiteral("Radio ID %1 not given: %2; nothing was written").arg(radioId, refusal);
  printErr(QStringLiteral("zr417-cli write: ") + result.cause);
  return false;
}

}  // namespace

int runWrite(const GlobalOptions& global, const QStringList& args) {
  GlobalOptions g = global;
  CommandParser p(QStringLiteral("write"));
  if (auto exit = p.parse(args, g)) return *exit;
  const QStringList files = p.positionals();
  if (files.size() > 1) return p.usageError(QStringLiteral("unexpected argument '%1'").arg(files[1]));
  const QString file = files.value(0);
  const QString rawPath = p.value(QStringLiteral("raw"));
  LinkOptions link;
  if (auto exit = takeLinkOptions(p, link)) return *exit;
  if (file.isEmpty() == rawPath.isEmpty()) return p.usageError(QStringLiteral("give either a data file or --raw FILE.bin"));
  const QString radioId = p.value(QStringLiteral("radio-id"));
  if (p.isSet(QStringLiteral("radio-id")) && !isRadioId(radioId))
    return p.usageError(QStringLiteral("--radio-id takes six digits 1 to 9, for example 111121"));
  WorkerReport report(p.isSet(QStringLiteral("json")));
  // Every failure of a worker ends in one result line.
  RadioResult failed;
  failed.port = link.port;
  failed.radioId = radioId;
  const auto fail = [&](const QString& cause) {
    failed.result = BatchOutcome::Failed;
    if (failed.cause.isEmpty()) failed.cause = cause;
    report.finish(failed);
    return kExitFailed;
  };

  auto session = startSession(g);
  Core& c = *session->core;
  if (auto exit = checkRangeInImage(p, link, c)) return *exit;
  if (link.range) {
    c.settings.WriteStartAddr = link.range->first;
    c.settings.WriteEndAddr = link.range->second;
  }
  if (!file.isEmpty() && !p.isSet(QStringLiteral("force"))) {
    // Open accepts any file; a radio is only written from a real data file
    // unless the user insists.
    QString problem;
    try {
      problem = dataFileProblem(readFileBytes(file, kMaxInputBytes));
    } catch (const RunError&) {
      // Open below reports why the file cannot be read.
    }
    if (!problem.isEmpty()) {
      printErr(QStringLiteral("zr417-cli write: %1 is not a data file: %2; nothing was written "
                              "(--force writes it anyway)")
                   .arg(file, problem));
      return fail(QStringLiteral("%1 is not a data file: %2").arg(file, problem));
    }
  }
  if (p.isSet(QStringLiteral("backup-before")) && !backUpBeforeWrite(*session, link, report, failed)) {
    if (failed.result == BatchOutcome::NoRadio) {
      report.finish(failed);
      return kExitFailed;
    }
    return fail(failed.cause);
  }
  if (!radioId.isEmpty() &&
      !radioTakesId(*session, link, p.isSet(QStringLiteral("backup-before")), radioId, failed)) {
    if (failed.result == BatchOutcome::NoRadio) {
      report.finish(failed);
      return kExitFailed;
    }
    return fail(failed.cause);
  }
  if (!file.isEmpty()) {
    if (!c.files.OpenFile(file)) return fail(QStringLiteral("cannot open %1").arg(file));  // the message was shown
  } else {
    // A raw image from address 0, not realigned; then the editors show it,
    // so that the channel table the write encodes is the image's own.
    try {
      loadRaw(c.image.TempArray, readFileBytes(rawPath, c.image.TempArray.size()));
    } catch (const RunError& e) {
      printErr(QStringLiteral("zr417-cli write: cannot read %1: %2").arg(rawPath, e.detail()));
      return fail(QStringLiteral("cannot read %1: %2").arg(rawPath, e.detail()));
    }
    c.files.SoftDisplay();
  }
  if (!radioId.isEmpty() && !setRadioId(*session, radioId)) {
    printErr(QStringLiteral("zr417-cli write: the Radio ID %1 could not be set; nothing was written").arg(radioId));
    return fail(QStringLiteral("the Radio ID could not be set"));
  }

  LinkRun run(*session, QStringLiteral("write"));
  const QString portProblem = choosePort(run, c, link);
  if (!portProblem.isEmpty()) {
    printErr(QStringLiteral("zr417-cli write: ") + portProblem);
    return fail(portProblem);
  }
  run.transfer.verifyAfterWrite = p.isSet(QStringLiteral("verify"));
  report.follow(run.transfer, QStringLiteral("write"));
  const int messagesBefore = static_cast<int>(session->prompts.messages.size());
  const bool ok = run.transfer.cmdWrite();
  RadioResult result = radioResultOf(run.transfer, ok, link.port);
  result.radioId = radioId;
  result.backups = failed.backups;
  if (!run.transfer.lastBackup().rawPath.isEmpty()) result.backups << run.transfer.lastBackup().rawPath;
  if (!ok) {
    reportFailure(*session, run, QStringLiteral("Write Failed"), messagesBefore);
    noteBackup(run.transfer);
    report.finish(result);
    return kExitFailed;
  }
  run.progress.finish();
  if (!run.transfer.writeReportText().isEmpty()) printErr(run.transfer.writeReportText());
  if (run.transfer.verifyAfterWrite) printErr(Transfer::kVerifyOkText);
  printErr(QStringLiteral("Write Successful"));
  noteBackup(run.transfer);
  report.finish(result);
  return kExitOk;
}

}  // namespace zr::cli
