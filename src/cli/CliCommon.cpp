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

void CliPrompts::message(const QString&, const QString& text, Icon) {
  messages << text;
  printErr(text);
}

std::unique_ptr<Session> startSession(const GlobalOptions& g) {
  auto s = std::make_unique<Session>();
  s->core = std::make_unique<Core>(g.programDir, g.configPath, s->prompts, QStringLiteral("zr417-cli"));
  s->core->log.setEcho([](const QString& line) { printErr(line); });
  if (s->core->configReport.reported()) printErr(s->core->configReport.message());
  s->editors = std::make_unique<Editors>(*s->core);
  s->editors->startHeadless();
  return s;
}

}  // namespace zr::cli
