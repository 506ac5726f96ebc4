// zr417-cli new OUT.dat: a fresh data file as the New command makes it, with
// the model and range chosen as their lists choose them.
#include <QFileInfo>

#include "cli/CliCommon.h"
#include "cli/CliParser.h"
#include "editors/BandChoice.h"

namespace zr::cli {

int runNew(const GlobalOptions& global, const QStringList& args) {
  GlobalOptions g = global;
  CommandParser p(QStringLiteral("new"));
  if (auto exit = p.parse(args, g)) return *exit;
  const QStringList files = p.positionals();
  if (files.isEmpty()) return p.usageError(QStringLiteral("missing OUT.dat"));
  if (files.size() > 1) return p.usageError(QStringLiteral("only one file"));
  const QString out = files.first();
  if (QFileInfo::exists(out) && !p.isSet(QStringLiteral("force"))) {
    printErr(QStringLiteral("zr417-cli new: %1 exists; nothing was written (--force replaces it)").arg(out));
    return kExitFailed;
  }

  auto session = startSession(g);
  Core& c = *session->core;
  BandModel& band = session->editors->band;
  // New without its question: the default image, the range kept.
  c.files.NewFileSol();
  if (p.isSet(QStringLiteral("band"))) {
    const QString problem = chooseBand(band, p.value(QStringLiteral("band")));
    if (!problem.isEmpty()) return p.usageError(problem);
  }
  if (p.isSet(QStringLiteral("model"))) {
    const QString problem = chooseModel(band, p.value(QStringLiteral("model")));
    if (!problem.isEmpty()) return p.usageError(problem);
  }
  c.image.CurFilePath = out;
  if (!c.files.SaveDatFile()) {
    printSaveFailure(*session, QStringLiteral("new"), out);
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace zr::cli
