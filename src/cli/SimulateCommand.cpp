// zr417-cli simulate: the radio simulator on a pseudo-terminal, for trying the
// read and write commands (or the desktop program) without a radio.
#include <QFile>

#include <csignal>
#include <cstring>

#include "cli/CliCommon.h"
#include "cli/CliParser.h"
#include "sim/PtyHost.h"
#include "sim/RadioSimulator.h"

namespace zr::cli {

namespace {

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int) { g_stop = 1; }

void installHandlers() {
  struct sigaction sa;
  std::memset(&sa, 0, sizeof sa);
  sa.sa_handler = onSignal;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
}

bool parseIdent(const QString& text, uint8_t out[3]) {
  if (text.size() != 6) return false;
  for (QChar c : text)
    if (!c.isDigit() && !QStringLiteral("abcdefABCDEF").contains(c)) return false;
  for (int k = 0; k < 3; ++k) {
    bool ok = false;
    const uint v = text.mid(2 * k, 2).toUInt(&ok, 16);
    if (!ok) return false;
    out[k] = static_cast<uint8_t>(v);
  }
  return true;
}

}  // namespace

int runSimulate(const GlobalOptions& global, const QStringList& args) {
  GlobalOptions g = global;
  CommandParser p(QStringLiteral("simulate"));
  if (auto exit = p.parse(args, g)) return *exit;
  if (!p.positionals().isEmpty())
    return p.usageError(QStringLiteral("unexpected argument '%1'").arg(p.positionals().first()));

  const bool echo = p.isSet(QStringLiteral("echo"));
  const bool paced = p.isSet(QStringLiteral("paced"));
  uint8_t ident[3] = {0x5A, 0x24, 0x29};
  if (p.isSet(QStringLiteral("ident")) && !parseIdent(p.value(QStringLiteral("ident")), ident))
    return p.usageError(QStringLiteral("--ident takes six hex digits, for example 5A2429"));
  int modelCode = RadioSimulator::kDefaultModelCode;
  if (p.isSet(QStringLiteral("model-code"))) {
    bool ok = false;
    modelCode = p.value(QStringLiteral("model-code")).toInt(&ok, 10);
    if (!ok || modelCode < 0 || modelCode > 255)
      return p.usageError(QStringLiteral("--model-code takes a number 0 to 255"));
  }
  const QString imagePath = p.value(QStringLiteral("image"));
  const auto count = [&](const char* name, int& out) {
    if (!p.isSet(QLatin1String(name))) return true;
    bool ok = false;
    out = p.value(QLatin1String(name)).toInt(&ok, 10);
    return ok && out >= 0;
  };
  int failAfter = -1, failFor = 0;
  if (!count("fail-after", failAfter)) return p.usageError(QStringLiteral("--fail-after takes a number of requests"));
  if (!count("fail-for", failFor)) return p.usageError(QStringLiteral("--fail-for takes a number of requests"));

  RadioSimulator sim;
  if (!imagePath.isEmpty()) {
    QFile f(imagePath);
    if (!f.open(QIODevice::ReadOnly)) {
      printErr(QStringLiteral("zr417-cli simulate: cannot read %1: %2").arg(imagePath, f.errorString()));
      return kExitFailed;
    }
    const QByteArray bytes = f.read(RadioSimulator::kMemorySize);
    sim.loadImage(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                           static_cast<size_t>(bytes.size())));
  }
  // The identification and model code are the options' (or their defaults),
  // also over an image.
  sim.setIdent(ident[0], ident[1], ident[2]);
  sim.setModelCode(static_cast<uint8_t>(modelCode));
  sim.setEcho(echo);
  sim.setIgnoreWrites(p.isSet(QStringLiteral("ignore-writes")));
  if (p.isSet(QStringLiteral("silent"))) sim.silenceAfter(0);
  else if (failAfter >= 0 && failFor > 0) sim.silenceBetween(failAfter, failFor);
  else if (failAfter >= 0) sim.silenceAfter(failAfter);
  else if (failFor > 0) sim.silenceFor(failFor);

  PtyHost::Options options;
  options.paced = paced;
  PtyHost host(sim, options);
  if (!host.open()) {
    printErr(QStringLiteral("zr417-cli simulate: no pseudo-terminal: %1").arg(QString::fromStdString(host.errorText())));
    return kExitFailed;
  }
  installHandlers();
  printOut(QString::fromStdString(host.slavePath()));
  std::fflush(stdout);
  if (!host.run(&g_stop)) {
    printErr(QStringLiteral("zr417-cli simulate: %1").arg(QString::fromStdString(host.errorText())));
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace zr::cli
