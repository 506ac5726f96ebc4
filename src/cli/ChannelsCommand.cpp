// zr417-cli channels: the channel table of a data file as CSV, both ways.
#include <QFile>

#include "cli/CliCommon.h"
#include "cli/CliParser.h"
#include "editors/ChannelCsv.h"

namespace zr::cli {

int runChannels(const GlobalOptions& global, const QStringList& args) {
  GlobalOptions g = global;
  CommandParser p(QStringLiteral("channels"),
                  QStringLiteral("channels FILE.dat --export OUT.csv\n"
                                 "channels FILE.dat --import IN.csv [--out OUT.dat]"),
                  QStringLiteral("Export writes the channel table as CSV (header Channel,Rx,Tx,Decode,Encode and\n"
                                 "the option columns; frequencies in MHz with five decimals, three digits before\n"
                                 "the point). Import enters every cell as typing it into the channel grid would\n"
                                 "(snapping, band limits, tone rules, new-channel defaults), reports each rejected\n"
                                 "cell on stderr, and saves the data file (in place, or to OUT.dat)."));
  p.addOption(QStringLiteral("export"), QStringLiteral("Write the channel table to OUT.csv."), QStringLiteral("OUT.csv"));
  p.addOption(QStringLiteral("import"), QStringLiteral("Enter the channels of IN.csv."), QStringLiteral("IN.csv"));
  p.addOption(QStringLiteral("out"), QStringLiteral("After an import, save to OUT.dat instead of in place."),
              QStringLiteral("OUT.dat"));
  if (auto exit = p.parse(args, g)) return *exit;
  const QStringList files = p.positionals();
  if (files.isEmpty()) return p.usageError(QStringLiteral("missing FILE.dat"));
  if (files.size() > 1) return p.usageError(QStringLiteral("only one data file"));
  const QString file = files.first();
  const QString exportPath = p.value(QStringLiteral("export"));
  const QString importPath = p.value(QStringLiteral("import"));
  const QString outPath = p.value(QStringLiteral("out"));
  if (exportPath.isEmpty() == importPath.isEmpty())
    return p.usageError(QStringLiteral("give either --export OUT.csv or --import IN.csv"));
  if (!outPath.isEmpty() && importPath.isEmpty()) return p.usageError(QStringLiteral("--out goes with --import"));

  auto session = startSession(g);
  Core& c = *session->core;
  if (!c.files.OpenFile(file)) return kExitFailed;

  if (!exportPath.isEmpty()) {
    try {
      writeFileAtomically(exportPath, exportChannelsCsv(*session->editors).toUtf8());
    } catch (const RunError& e) {
      printErr(QStringLiteral("zr417-cli channels: cannot write %1").arg(e.detail()));
      return kExitFailed;
    }
    return kExitOk;
  }

  QFile in(importPath);
  if (!in.open(QIODevice::ReadOnly)) {
    printErr(QStringLiteral("zr417-cli channels: cannot read %1: %2").arg(importPath, in.errorString()));
    return kExitFailed;
  }
  std::vector<CsvProblem> problems;
  const bool ok = importChannelsCsv(*session->editors, QString::fromUtf8(in.readAll()), problems);
  for (const CsvProblem& p : problems)
    printErr(QStringLiteral("%1:%2:%3: %4").arg(importPath).arg(p.line).arg(p.column, p.message));
  if (!ok) return kExitFailed;
  if (!outPath.isEmpty()) c.image.CurFilePath = outPath;
  if (!c.files.SaveDatFile()) {
    printErr(c.text.SoftFace(86) + QStringLiteral(" ") + c.files.lastSaveFailure());
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace zr::cli
