// zr417-cli channels: the channel table of a data file as CSV, both ways.
#include <QFile>
#include <QSaveFile>

#include "cli/CliCommon.h"
#include "editors/ChannelCsv.h"

namespace zr::cli {

namespace {

const char kChannelsHelp[] =
    "Usage: zr417-cli channels FILE.dat --export OUT.csv\n"
    "       zr417-cli channels FILE.dat --import IN.csv [--out OUT.dat]\n"
    "Export writes the channel table as CSV (header Channel,Rx,Tx,Decode,Encode and\n"
    "the option columns; frequencies in MHz with five decimals, three digits before\n"
    "the point). Import enters every cell as typing it into the channel grid would\n"
    "(snapping, band limits, tone rules, new-channel defaults), reports each rejected\n"
    "cell on stderr, and saves the data file (in place, or to OUT.dat).\n";

}  // namespace

int runChannels(const GlobalOptions& g, const QStringList& args) {
  QString file, exportPath, importPath, outPath;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    auto value = [&](QString& into) {
      if (i + 1 >= args.size()) return false;
      into = args[++i];
      return true;
    };
    if (a == QStringLiteral("--help") || a == QStringLiteral("-h")) {
      std::fputs(kChannelsHelp, stdout);
      return kExitOk;
    } else if (a == QStringLiteral("--export")) {
      if (!value(exportPath)) return printErr(QStringLiteral("zr417-cli channels: --export needs a file")), kExitUsage;
    } else if (a == QStringLiteral("--import")) {
      if (!value(importPath)) return printErr(QStringLiteral("zr417-cli channels: --import needs a file")), kExitUsage;
    } else if (a == QStringLiteral("--out")) {
      if (!value(outPath)) return printErr(QStringLiteral("zr417-cli channels: --out needs a file")), kExitUsage;
    } else if (a.startsWith(u'-')) {
      printErr(QStringLiteral("zr417-cli channels: unknown option %1").arg(a));
      return kExitUsage;
    } else if (file.isEmpty()) {
      file = a;
    } else {
      printErr(QStringLiteral("zr417-cli channels: only one data file"));
      return kExitUsage;
    }
  }
  if (file.isEmpty() || exportPath.isEmpty() == importPath.isEmpty() || (!outPath.isEmpty() && importPath.isEmpty())) {
    std::fputs(kChannelsHelp, stderr);
    return kExitUsage;
  }

  auto session = startSession(g);
  Core& c = *session->core;
  if (!c.files.OpenFile(file)) return kExitFailed;

  if (!exportPath.isEmpty()) {
    QSaveFile out(exportPath);
    if (!out.open(QIODevice::WriteOnly) || out.write(exportChannelsCsv(*session->editors).toUtf8()) < 0 ||
        !out.commit()) {
      printErr(QStringLiteral("zr417-cli channels: cannot write %1: %2").arg(exportPath, out.errorString()));
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
    printErr(QStringLiteral("%1").arg(c.text.SoftFace(86)));
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace zr::cli
