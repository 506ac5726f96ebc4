// zr417-cli read: the read transfer of the communication window, run from the
// command line on a port number or a device path.
#include <QFileInfo>

#include "cli/CliLink.h"
#include "cli/CliParser.h"
#include "data/DataFiles.h"
#include "base/TextIds.h"

namespace zr::cli {

int runRead(const GlobalOptions& global, const QStringList& args) {
  GlobalOptions g = global;
  CommandParser p(QStringLiteral("read"));
  if (auto exit = p.parse(args, g)) return *exit;
  if (!p.positionals().isEmpty())
    return p.usageError(QStringLiteral("unexpected argument '%1'").arg(p.positionals().first()));
  LinkOptions link;
  if (auto exit = takeLinkOptions(p, link)) return *exit;
  const QString outPath = p.value(QStringLiteral("out"));
  const QString rawPath = p.value(QStringLiteral("raw"));
  if (!outPath.isEmpty() && !rawPath.isEmpty() &&
      QFileInfo(outPath).absoluteFilePath() == QFileInfo(rawPath).absoluteFilePath())
    return p.usageError(QStringLiteral("--out and --raw name the same file %1; one would replace the other").arg(outPath));

  auto session = startSession(g);
  Core& c = *session->core;
  if (auto exit = checkRangeInImage(p, link, c)) return *exit;
  if (link.range) {
    c.settings.ReadStartAddr = link.range->first;
    c.settings.ReadEndAddr = link.range->second;
  }
  LinkRun run(*session, QStringLiteral("read"));
  const QString portProblem = choosePort(run, c, link);
  if (!portProblem.isEmpty()) {
    printErr(QStringLiteral("zr417-cli read: ") + portProblem);
    return kExitFailed;
  }

  // The bytes as received, before the refresh decodes and repairs them.
  std::vector<uint8_t> received;
  QObject::connect(&run.transfer, &Transfer::readArrived, [&] { received = c.image.TempArray.bytes(); });
  const int messagesBefore = static_cast<int>(session->prompts.messages.size());
  const bool ok = run.transfer.cmdRead();
  if (!ok) {
    reportFailure(*session, run, c.text.SoftFace(kTxtReadFailed), messagesBefore);
    return kExitFailed;
  }
  run.progress.finish();
  // The radio was read: say so first, so that a file that cannot be written
  // afterwards is not mistaken for a failed read; the backup holds the data.
  printErr(c.text.SoftFace(kTxtReadOk));
  noteBackup(run.transfer);

  bool saved = true;
  if (!rawPath.isEmpty()) {
    try {
      writeFileAtomically(rawPath, received);
    } catch (const RunError& e) {
      printErr(QStringLiteral("zr417-cli read: cannot write %1: %2").arg(rawPath, e.detail()));
      saved = false;
    }
  }
  if (!outPath.isEmpty()) {
    c.image.CurFilePath = QFileInfo(outPath).absoluteFilePath();
    if (!c.files.SaveDatFile()) {
      printSaveFailure(*session, QStringLiteral("read"), outPath);
      saved = false;
    }
  }
  if (!saved) {
    printErr(run.transfer.lastBackup().rawPath.isEmpty()
                 ? QStringLiteral("zr417-cli read: the read data was not kept in a backup either; read again")
                 : QStringLiteral("zr417-cli read: the read data is kept in the backup named above"));
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace zr::cli
