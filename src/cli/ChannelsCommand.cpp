// zr417-cli channels: the channel table of a data file as CSV, both ways, in
// our own columns or in CHIRP's.
#include <QFile>
#include <QFileInfo>

#include <cstdio>

#include "cli/CliCommon.h"
#include "cli/CliParser.h"
#include "data/DataFiles.h"
#include "editors/ChannelCsv.h"
#include "editors/ChirpCsv.h"

namespace zr::cli {

namespace {

const QString kStdio = QStringLiteral("-");

// A CSV import reads at most this much: far more than any real channel list
// (a few kilobytes), and a bound that keeps /dev/zero or a huge file from
// eating the memory.
constexpr qint64 kMaxCsvBytes = 16 * 1024 * 1024;

// Reads a whole file, or stdin for "-", up to kMaxCsvBytes. Returns false
// with the reason.
bool readText(const QString& path, QString& text, QString& why) {
  QByteArray bytes;
  if (path == kStdio) {
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly)) {
      why = in.errorString();
      return false;
    }
    bytes = in.read(kMaxCsvBytes + 1);
  } else {
    try {
      const std::vector<uint8_t> b = readFileBytes(path, kMaxCsvBytes + 1);
      bytes = QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size()));
    } catch (const RunError& e) {
      // The detail reads "PATH: CAUSE" or "PATH is ..."; the caller names the path itself.
      why = e.detail().startsWith(path + QStringLiteral(": ")) ? e.detail().mid(path.size() + 2) : e.detail();
      return false;
    }
  }
  if (bytes.size() > kMaxCsvBytes) {
    why = QStringLiteral("it is larger than %1 MiB, far more than any channel list; nothing was imported")
              .arg(kMaxCsvBytes / (1024 * 1024));
    return false;
  }
  text = QString::fromUtf8(bytes);
  return true;
}

// Writes a whole file safely, or stdout for "-".
bool writeText(const QString& path, const QString& text, QString& why) {
  const QByteArray bytes = text.toUtf8();
  if (path == kStdio) {
    const bool ok = std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout) ==
                        static_cast<size_t>(bytes.size()) &&
                    std::fflush(stdout) == 0;
    if (!ok) why = QStringLiteral("cannot write to stdout");
    return ok;
  }
  try {
    writeFileAtomically(path, bytes);
  } catch (const RunError& e) {
    // The detail reads "PATH: CAUSE"; the caller names the path itself.
    why = e.detail().startsWith(path + QStringLiteral(": ")) ? e.detail().mid(path.size() + 2) : e.detail();
    return false;
  }
  return true;
}

}  // namespace

int runChannels(const GlobalOptions& global, const QStringList& args) {
  GlobalOptions g = global;
  CommandParser p(QStringLiteral("channels"));
  if (auto exit = p.parse(args, g)) return *exit;
  const QStringList files = p.positionals();
  if (files.isEmpty()) return p.usageError(QStringLiteral("missing FILE.dat"));
  if (files.size() > 1) return p.usageError(QStringLiteral("only one data file"));
  const QString file = files.first();
  if (file.isEmpty()) return p.usageError(QStringLiteral("no file name given"));
  const QString exportPath = p.value(QStringLiteral("export"));
  const QString importPath = p.value(QStringLiteral("import"));
  const QString outPath = p.value(QStringLiteral("out"));
  if (exportPath.isEmpty() == importPath.isEmpty())
    return p.usageError(QStringLiteral("give either --export OUT.csv or --import IN.csv"));
  if (!outPath.isEmpty() && importPath.isEmpty()) return p.usageError(QStringLiteral("--out goes with --import"));
  if (p.isSet(QStringLiteral("strict")) && importPath.isEmpty())
    return p.usageError(QStringLiteral("--strict goes with --import"));
  const QString format = p.value(QStringLiteral("format")).toLower();
  if (!format.isEmpty() && format != QStringLiteral("ours") && format != QStringLiteral("chirp"))
    return p.usageError(QStringLiteral("--format takes ours or chirp, not '%1'").arg(p.value(QStringLiteral("format"))));
  if (outPath == kStdio) return p.usageError(QStringLiteral("--out needs a file name, not '-'"));

  if (!importPath.isEmpty()) {
    if (auto exit = refuseNonDataFile(QStringLiteral("channels"), file, p.isSet(QStringLiteral("force")))) return *exit;
    if (!outPath.isEmpty() && QFileInfo::exists(outPath))
      if (auto exit = refuseNonDataFile(QStringLiteral("channels"), outPath, p.isSet(QStringLiteral("force"))))
        return *exit;
  } else {
    warnNonDataFile(QStringLiteral("channels"), file);
  }

  SaveLock lock;
  if (!importPath.isEmpty())
    if (auto exit = lock.take(QStringLiteral("channels"), outPath.isEmpty() ? file : outPath)) return *exit;
  auto session = startSession(g);
  Core& c = *session->core;
  if (!c.files.OpenFile(file)) return kExitFailed;

  if (!exportPath.isEmpty()) {
    const QString csv = format == QStringLiteral("chirp") ? exportChirpCsv(*session->editors)
                                                          : exportChannelsCsv(*session->editors);
    QString why;
    if (!writeText(exportPath, csv, why)) {
      printErr(QStringLiteral("zr417-cli channels: cannot write %1: %2").arg(exportPath, why));
      return kExitFailed;
    }
    return kExitOk;
  }

  QString text, why;
  if (!readText(importPath, text, why)) {
    printErr(QStringLiteral("zr417-cli channels: cannot read %1: %2").arg(importPath, why));
    return kExitFailed;
  }
  const std::vector<QStringList> head = parseCsv(text.section(u'\n', 0, 0), nullptr, csvDelimiter(text));
  const bool chirp = format == QStringLiteral("chirp") ||
                     (format.isEmpty() && !head.empty() && isChirpCsvHeader(head.front()));
  std::vector<CsvProblem> problems;
  const bool ok = chirp ? importChirpCsv(*session->editors, text, problems)
                        : importChannelsCsv(*session->editors, text, problems);
  const QString source = importPath == kStdio ? QStringLiteral("stdin") : importPath;
  for (const CsvProblem& pr : problems)
    printErr(QStringLiteral("%1:%2:%3: %4").arg(source).arg(pr.line).arg(pr.column, pr.message));
  if (!ok) return kExitFailed;
  if (p.isSet(QStringLiteral("strict")) && !problems.empty()) {
    printErr(QStringLiteral("zr417-cli channels: %1 cell(s) adjusted or rejected; nothing saved (--strict)")
                 .arg(problems.size()));
    return kExitFailed;
  }
  if (!outPath.isEmpty()) c.image.CurFilePath = outPath;
  if (!c.files.SaveDatFile()) {
    printSaveFailure(*session, QStringLiteral("channels"), c.image.CurFilePath);
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace zr::cli
