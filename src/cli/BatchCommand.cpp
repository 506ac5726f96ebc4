// zr417-cli batch: the dealer's station on the command line. The rounds,
// workers, Radio IDs and log are the station's (link/BatchStation.h); this
// file reads the rounds from stdin and prints the results.
#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonDocument>
#include <map>

#include "cli/CliCommon.h"
#include "cli/CliParser.h"
#include "data/DataFiles.h"
#include "link/BatchStation.h"
#include "link/PortMap.h"

namespace zr::cli {

namespace {

QString portProblem(const QString& port) {
  bool isNumber = false;
  const int n = port.toInt(&isNumber, 10);
  if (port.isEmpty() || (isNumber && (n < 1 || n > PortMap::kPortCount)))
    return QStringLiteral("--port takes a device path or a port number 1 to 16");
  return {};
}

// One line of stdin; false at the end of input or on "q".
bool nextRound() {
  char buf[256];
  if (!std::fgets(buf, sizeof buf, stdin)) return false;
  return QString::fromUtf8(buf).trimmed().compare(QStringLiteral("q"), Qt::CaseInsensitive) != 0;
}

QString summary(const BatchStation& s) {
  std::map<BatchOutcome, int> counts;
  for (const RadioResult& r : s.results()) ++counts[r.result];
  QStringList parts;
  for (const BatchOutcome o : {BatchOutcome::Ok, BatchOutcome::VerifyFailed, BatchOutcome::PartlyWritten,
                               BatchOutcome::Failed, BatchOutcome::NoRadio})
    if (counts[o] > 0) parts << QStringLiteral("%1 %2").arg(counts[o]).arg(outcomeWord(o));
  return QStringLiteral("zr417-cli batch: %1 round(s), %2 radio(s)%3")
      .arg(s.round())
      .arg(s.results().size())
      .arg(parts.isEmpty() ? QString() : QStringLiteral(": ") + parts.join(QStringLiteral(", ")));
}

}  // namespace

int runBatch(const GlobalOptions& global, const QStringList& args) {
  GlobalOptions g = global;
  CommandParser p(QStringLiteral("batch"));
  if (auto exit = p.parse(args, g)) return *exit;
  const QStringList files = p.positionals();
  if (files.isEmpty()) return p.usageError(QStringLiteral("give the data file to write"));
  if (files.size() > 1) return p.usageError(QStringLiteral("unexpected argument '%1'").arg(files[1]));
  BatchJob job;
  job.dataFile = files[0];
  job.ports = p.values(QStringLiteral("port"));
  if (job.ports.isEmpty()) return p.usageError(QStringLiteral("--port is required, once for every port"));
  for (const QString& port : job.ports) {
    if (const QString problem = portProblem(port); !problem.isEmpty()) return p.usageError(problem);
    // Two writes on one cable would mix two radios' data.
    if (job.ports.count(port) > 1) return p.usageError(QStringLiteral("--port %1 is named twice").arg(port));
  }
  job.radioIdFrom = p.value(QStringLiteral("radio-id-from"));
  if (p.isSet(QStringLiteral("radio-id-from")) && !isRadioId(job.radioIdFrom))
    return p.usageError(QStringLiteral("--radio-id-from takes six digits 1 to 9, for example 111111"));
  job.verify = p.isSet(QStringLiteral("verify"));
  job.backupBefore = p.isSet(QStringLiteral("backup-before"));
  job.force = p.isSet(QStringLiteral("force"));
  job.logPath = p.value(QStringLiteral("log"));
  job.configPath = g.configPath;
  job.workerProgram = QCoreApplication::applicationFilePath();
  const bool json = p.isSet(QStringLiteral("json"));

  // The file is checked once, before any radio is touched.
  std::vector<uint8_t> bytes;
  try {
    bytes = readFileBytes(job.dataFile, kMaxInputBytes);
  } catch (const RunError& e) {
    printErr(QStringLiteral("zr417-cli batch: cannot read %1: %2").arg(job.dataFile, e.detail()));
    return kExitFailed;
  }
  if (auto exit = refuseNonDataFile(QStringLiteral("batch"), job.dataFile, job.force)) return *exit;
  // Numbers that no radio of the file's model would store are refused before
  // any radio is touched (a radio of another model is asked by its worker).
  if (!job.radioIdFrom.isEmpty()) {
    const QString why = radioIdRefusalForFile(
        QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())), job.dataFile);
    if (!why.isEmpty()) {
      printErr(QStringLiteral("zr417-cli batch: %1. Leave out --radio-id-from, or write a file of a model that takes "
                              "an ID; nothing was written")
                   .arg(why));
      return kExitFailed;
    }
  }

  BatchStation station(job);
  if (const QString problem = station.openLog(); !problem.isEmpty()) {
    printErr(QStringLiteral("zr417-cli batch: ") + problem);
    return kExitFailed;
  }
  // Progress per port: a line each time a port passes another whole 10 %.
  std::map<std::pair<int, QString>, int> shown;
  QObject::connect(&station, &BatchStation::progress, [&](int port, const QString& stage, int percent) {
    int& decade = shown[{port, stage}];
    if (percent / 10 <= decade) return;
    decade = percent / 10;
    printErr(QStringLiteral("zr417-cli batch: %1 %2 %3 %").arg(job.ports[port], stage).arg(decade * 10));
  });
  QObject::connect(&station, &BatchStation::radioDone, [&](int, const RadioResult& r) {
    printOut(json ? QString::fromUtf8(QJsonDocument(r.toJson()).toJson(QJsonDocument::Compact)) : r.line());
    std::fflush(stdout);
    if (!station.logProblem().isEmpty()) printErr(QStringLiteral("zr417-cli batch: ") + station.logProblem());
  });

  printErr(QStringLiteral("zr417-cli batch: %1 port(s). Connect the radios and press Enter to write them; "
                          "q or end of input ends the batch.")
               .arg(job.ports.size()));
  bool idsRanOut = false;
  while (nextRound()) {
    shown.clear();
    if (!station.startRound()) {
      idsRanOut = true;
      printErr(QStringLiteral("zr417-cli batch: no Radio ID is left after 999999; the batch ends"));
      break;
    }
    QEventLoop loop;
    QObject::connect(&station, &BatchStation::roundFinished, &loop, &QEventLoop::quit);
    if (station.running()) loop.exec();
    int ok = 0, done = 0;
    for (const RadioResult& r : station.results())
      if (r.round == station.round()) {
        ++done;
        ok += r.ok() ? 1 : 0;
      }
    printErr(QStringLiteral("zr417-cli batch: round %1 done: %2 of %3 ok. Enter starts the next round, q ends.")
                 .arg(station.round())
                 .arg(ok)
                 .arg(done));
  }
  printErr(summary(station));
  if (!station.nextId().isEmpty() && station.round() > 0)
    printErr(QStringLiteral("zr417-cli batch: the next Radio ID would be %1").arg(station.nextId()));
  return station.allOk() && !idsRanOut ? kExitOk : kExitFailed;
}

}  // namespace zr::cli
