#include "cli/CliCommon.h"

#include <QTextStream>

namespace zr::cli {

void printErr(const QString& text) {
  const QByteArray b = (text + u'\n').toUtf8();
  std::fwrite(b.constData(), 1, static_cast<size_t>(b.size()), stderr);
  std::fflush(stderr);
}

void printOut(const QString& text) {
  const QByteArray b = (text + u'\n').toUtf8();
  std::fwrite(b.constData(), 1, static_cast<size_t>(b.size()), stdout);
}

void printSaveFailure(const Session& s, const QString& command, const QString& path) {
  // The save keeps its cause ("x.dat: Permission denied").
  QString cause = s.core->files.lastSaveFailure();
  if (cause.isEmpty()) cause = s.core->log.lastDetail();
  printErr(QStringLiteral("zr417-cli %1: %2 %3").arg(command, s.core->text.SoftFace(86),
                                                     cause.isEmpty() ? path : cause));
}

void CliPrompts::message(const QString&, const QString& text, Icon) {
  messages << text;
  QString line = text;
  if (log && log->reportCount() > reportsSeen && !log->lastDetail().isEmpty())
    line += QStringLiteral(" ") + log->lastDetail();
  if (log) reportsSeen = log->reportCount();
  printErr(line);
}

std::unique_ptr<Session> startSession(const GlobalOptions& g) {
  auto s = std::make_unique<Session>();
  s->core = std::make_unique<Core>(g.programDir, g.configPath, s->prompts, QStringLiteral("zr417-cli"));
  // The error log's reports are for --verbose; every failure also gets its
  // own plain line from the command.
  if (g.verbose) s->core->log.setEcho([](const QString& line) { printErr(line); });
  s->prompts.log = &s->core->log;
  if (s->core->configReport.reported()) printErr(s->core->configReport.message());
  s->editors = std::make_unique<Editors>(*s->core);
  s->editors->startHeadless();
  s->prompts.reportsSeen = s->core->log.reportCount();
  return s;
}

}  // namespace zr::cli
