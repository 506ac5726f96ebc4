// zr417-cli set FILE.dat [--out OUT.dat] FIELD=VALUE ...: radio-wide settings
// changed through each field's own change handling, then saved.
#include "cli/CliCommon.h"
#include "cli/CliParser.h"

namespace zr::cli {

int runSet(const GlobalOptions& global, const QStringList& args) {
  GlobalOptions g = global;
  CommandParser p(QStringLiteral("set"), QStringLiteral("set FILE.dat [--out OUT.dat] FIELD=VALUE [FIELD=VALUE ...]"),
                  QStringLiteral("Opens the data file, applies each assignment in order as the settings pages\n"
                                 "would (linked fields follow), then saves (to OUT.dat, or in place).\n"
                                 "VALUE: for a list the exact entry text or #N for position N; for a check box\n"
                                 "1/0, on/off or true/false; for a text field the text. Field names are those of\n"
                                 "`zr417-cli show FILE.dat --json` (\"settings\")."));
  p.addOption(QStringLiteral("out"), QStringLiteral("Save to OUT.dat instead of in place."), QStringLiteral("OUT.dat"));
  if (auto exit = p.parse(args, g)) return *exit;
  QStringList assignments = p.positionals();
  if (assignments.isEmpty()) return p.usageError(QStringLiteral("missing FILE.dat"));
  const QString file = assignments.takeFirst();
  if (assignments.isEmpty()) return p.usageError(QStringLiteral("no assignment FIELD=VALUE given"));
  for (const QString& a : assignments)
    if (!a.contains(u'=')) return p.usageError(QStringLiteral("not an assignment FIELD=VALUE: %1").arg(a));
  const QString outPath = p.value(QStringLiteral("out"));

  auto session = startSession(g);
  Core& c = *session->core;
  if (!c.files.OpenFile(file)) return kExitFailed;
  for (const QString& a : assignments) {
    const QString problem = session->editors->settings.applyAssignment(a);
    if (!problem.isEmpty()) {
      printErr(QStringLiteral("zr417-cli set: %1").arg(problem));
      return kExitUsage;  // nothing is written
    }
  }
  if (!outPath.isEmpty()) c.image.CurFilePath = outPath;
  if (!c.files.SaveDatFile()) {
    printErr(c.text.SoftFace(86) + QStringLiteral(" ") + c.files.lastSaveFailure());
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace zr::cli
