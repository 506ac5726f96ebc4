// zr417-cli simulate: the radio simulator on a pseudo-terminal, for trying the
// read and write commands (or the desktop program) without a radio.
#include <QFile>

#include <csignal>
#include <cstring>

#include "cli/CliCommon.h"
#include "sim/PtyHost.h"
#include "sim/RadioSimulator.h"

namespace zr::cli {

namespace {

const char kSimulateHelp[] =
    "Usage: zr417-cli simulate [--echo] [--ident ZZRRWW] [--model-code N] [--image FILE.bin] [--paced]\n"
    "Starts the radio simulator on a pseudo-terminal, prints the device path as\n"
    "the first line and serves until interrupted (Ctrl+C).\n"
    "\n"
    "  --echo          behave like a single-wire cable (every byte comes back)\n"
    "  --ident ZZRRWW  radio bytes 0x0388-0x038A as six hex digits (default 5A2429)\n"
    "  --model-code N  radio byte 0x03D4, 0..255 (default 40)\n"
    "  --image FILE    radio memory from a raw image, from address 0 (at most 8 KiB)\n"
    "  --paced         deliver bytes at 9600 baud, 8 data bits, 2 stop bits\n";

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

int runSimulate(const GlobalOptions&, const QStringList& args) {
  bool echo = false, paced = false;
  uint8_t ident[3] = {0x5A, 0x24, 0x29};
  int modelCode = RadioSimulator::kDefaultModelCode;
  QString imagePath;

  auto usage = [](const QString& msg) {
    printErr(QStringLiteral("zr417-cli simulate: ") + msg);
    std::fputs(kSimulateHelp, stderr);
    return kExitUsage;
  };
  for (int i = 0; i < args.size(); ++i) {
    QString a = args[i];
    QString value;
    const qsizetype eq = a.indexOf(u'=');
    const QString name = eq > 0 ? a.left(eq) : a;
    const bool takesValue = name == QStringLiteral("--ident") || name == QStringLiteral("--model-code") ||
                            name == QStringLiteral("--image");
    if (takesValue) {
      if (eq > 0) {
        value = a.mid(eq + 1);
        a = a.left(eq);
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        return usage(QStringLiteral("%1 needs a value").arg(a));
      }
    }
    if (a == QStringLiteral("--help") || a == QStringLiteral("-h")) {
      std::fputs(kSimulateHelp, stdout);
      return kExitOk;
    } else if (a == QStringLiteral("--echo")) {
      echo = true;
    } else if (a == QStringLiteral("--paced")) {
      paced = true;
    } else if (a == QStringLiteral("--ident")) {
      if (!parseIdent(value, ident)) return usage(QStringLiteral("--ident takes six hex digits, for example 5A2429"));
    } else if (a == QStringLiteral("--model-code")) {
      bool ok = false;
      modelCode = value.toInt(&ok, 10);
      if (!ok || modelCode < 0 || modelCode > 255) return usage(QStringLiteral("--model-code takes a number 0 to 255"));
    } else if (a == QStringLiteral("--image")) {
      imagePath = value;
    } else {
      return usage(QStringLiteral("unknown option '%1'").arg(a));
    }
  }

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
