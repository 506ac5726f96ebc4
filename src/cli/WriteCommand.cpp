// zr417-cli write: the write transfer of the communication window, run from
// the command line on a port number or a device path.
#include "cli/CliLink.h"
#include "cli/CliParser.h"
#include "data/DataFileCheck.h"
#include "data/DataFiles.h"

namespace zr::cli {

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

  auto session = startSession(g);
  Core& c = *session->core;
  if (auto exit = checkRangeInImage(p, link, c)) return *exit;
  if (link.range) {
    c.settings.WriteStartAddr = link.range->first;
    c.settings.WriteEndAddr = link.range->second;
  }
  if (!file.isEmpty()) {
    // Open accepts any file; a radio is only written from a real data file
    // unless the user insists.
    if (!p.isSet(QStringLiteral("force"))) {
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
        return kExitFailed;
      }
    }
    if (!c.files.OpenFile(file)) return kExitFailed;  // the message was shown
  } else {
    // A raw image from address 0, not realigned; then the editors show it,
    // so that the channel table the write encodes is the image's own.
    try {
      loadRaw(c.image.TempArray, readFileBytes(rawPath, c.image.TempArray.size()));
    } catch (const RunError& e) {
      printErr(QStringLiteral("zr417-cli write: cannot read %1: %2").arg(rawPath, e.detail()));
      return kExitFailed;
    }
    c.files.SoftDisplay();
  }

  LinkRun run(*session, QStringLiteral("write"));
  const QString portProblem = choosePort(run, c, link);
  if (!portProblem.isEmpty()) {
    printErr(QStringLiteral("zr417-cli write: ") + portProblem);
    return kExitFailed;
  }
  run.transfer.verifyAfterWrite = p.isSet(QStringLiteral("verify"));
  const int messagesBefore = static_cast<int>(session->prompts.messages.size());
  if (!run.transfer.cmdWrite()) {
    reportFailure(*session, run, QStringLiteral("Write Failed"), messagesBefore);
    noteBackup(run.transfer);
    return kExitFailed;
  }
  run.progress.finish();
  if (!run.transfer.writeReportText().isEmpty()) printErr(run.transfer.writeReportText());
  if (run.transfer.verifyAfterWrite) printErr(Transfer::kVerifyOkText);
  printErr(QStringLiteral("Write Successful"));
  noteBackup(run.transfer);
  return kExitOk;
}

}  // namespace zr::cli
