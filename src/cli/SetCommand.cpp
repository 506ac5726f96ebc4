// zr417-cli set FILE.dat [--out OUT.dat] FIELD=VALUE ...: radio-wide settings
// changed through each field's own change handling, then saved.
#include "cli/CliCommon.h"

namespace zr::cli {

namespace {

const char kSetHelp[] =
    "Usage: zr417-cli set FILE.dat [--out OUT.dat] FIELD=VALUE [FIELD=VALUE ...]\n"
    "Opens the data file, applies each assignment in order as the settings pages\n"
    "would (linked fields follow), then saves (to OUT.dat, or in place).\n"
    "VALUE: for a list the exact entry text or #N for position N; for a check box\n"
    "1/0, on/off or true/false; for a text field the text. Field names are those of\n"
    "`zr417-cli show FILE.dat --json` (\"settings\").\n";

}  // namespace

int runSet(const GlobalOptions& g, const QStringList& args) {
  QString file, outPath;
  QStringList assignments;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == QStringLiteral("--help") || a == QStringLiteral("-h")) {
      std::fputs(kSetHelp, stdout);
      return kExitOk;
    } else if (a == QStringLiteral("--out")) {
      if (i + 1 >= args.size()) {
        printErr(QStringLiteral("zr417-cli set: --out needs a file"));
        return kExitUsage;
      }
      outPath = args[++i];
    } else if (a.startsWith(QStringLiteral("--"))) {
      printErr(QStringLiteral("zr417-cli set: unknown option %1").arg(a));
      return kExitUsage;
    } else if (file.isEmpty()) {
      file = a;
    } else if (a.contains(u'=')) {
      assignments << a;
    } else {
      printErr(QStringLiteral("zr417-cli set: not an assignment FIELD=VALUE: %1").arg(a));
      return kExitUsage;
    }
  }
  if (file.isEmpty() || assignments.isEmpty()) {
    std::fputs(kSetHelp, stderr);
    return kExitUsage;
  }
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
    printErr(c.text.SoftFace(86));
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace zr::cli
