// zr417-cli read / write: the read and write transfers of the communication
// window, run from the command line on a port number or a device path.
#include <QFileInfo>
#include <QRegularExpression>

#include <unistd.h>

#include <optional>

#include "cli/CliCommon.h"
#include "data/DataFiles.h"
#include "link/RadioLink.h"
#include "link/Transfer.h"
#include "link/Waiters.h"

namespace zr::cli {

namespace {

const char kReadHelp[] =
    "Usage: zr417-cli read --port PORT [--range SSSS-EEEE] [--out FILE.dat] [--raw FILE.bin]\n"
    "Reads the radio as the communication window does (port search, identification,\n"
    "command set, retries, single-wire cable detection).\n"
    "\n"
    "  --port PORT        a device path (/dev/ttyUSB0, /dev/pts/7) or a port number 1..16\n"
    "                     numbered as the desktop program numbers ports. With a path only\n"
    "                     that device is tried and the configured port is left alone.\n"
    "  --range SSSS-EEEE  read these addresses (four hex digits each) instead of\n"
    "                     ReadStartAddr-ReadEndAddr of the configuration\n"
    "  --out FILE.dat     on success, refresh the editors and save the data file\n"
    "  --raw FILE.bin     on success, the image bytes 0..DatNum as received\n"
    "Progress goes to stderr. Exit 0 on success, 1 when the read failed.\n";

const char kWriteHelp[] =
    "Usage: zr417-cli write --port PORT [--range SSSS-EEEE] (FILE.dat | --raw FILE.bin)\n"
    "Loads the data file as Open does (or a raw image from address 0, not realigned)\n"
    "and writes it to the radio as the communication window does: write preparation,\n"
    "scripted blocks, model and band, information reads, parameter or special blocks,\n"
    "end frame.\n"
    "\n"
    "  --port PORT        a device path or a port number 1..16 (see zr417-cli read --help)\n"
    "  --range SSSS-EEEE  write these addresses instead of WriteStartAddr-WriteEndAddr\n"
    "  --raw FILE.bin     a raw image instead of a data file\n"
    "Progress goes to stderr. Exit 0 only when the whole write succeeded.\n";

struct Options {
  QString port;
  std::optional<std::pair<int, int>> range;
  QString out;
  QString raw;
  QString file;
};

// "SSSS-EEEE": four hex digits each, read as the address boxes read them.
std::optional<std::pair<int, int>> parseRange(const QString& text) {
  static const QRegularExpression re(QStringLiteral("^([0-9A-Fa-f]{4})-([0-9A-Fa-f]{4})$"));
  const auto m = re.match(text);
  if (!m.hasMatch()) return std::nullopt;
  return std::make_pair(addressValue(m.captured(1)), addressValue(m.captured(2)));
}

// Parses the options of read (read = true) or write. Returns an exit code
// when the command should end at once (help or usage error).
std::optional<int> parseOptions(const QStringList& args, bool read, Options& o) {
  const QString name = read ? QStringLiteral("read") : QStringLiteral("write");
  const char* help = read ? kReadHelp : kWriteHelp;
  auto usage = [&](const QString& msg) {
    printErr(QStringLiteral("zr417-cli %1: %2").arg(name, msg));
    std::fputs(help, stderr);
    return kExitUsage;
  };
  for (int i = 0; i < args.size(); ++i) {
    QString a = args[i];
    QString value;
    const qsizetype eq = a.startsWith(QStringLiteral("--")) ? a.indexOf(u'=') : -1;
    if (eq > 0) {
      value = a.mid(eq + 1);
      a = a.left(eq);
    }
    const bool takesValue = a == QStringLiteral("--port") || a == QStringLiteral("--range") ||
                            a == QStringLiteral("--raw") || (read && a == QStringLiteral("--out"));
    if (takesValue && eq <= 0) {
      if (i + 1 >= args.size()) return usage(QStringLiteral("%1 needs a value").arg(a));
      value = args[++i];
    }
    if (a == QStringLiteral("--help") || a == QStringLiteral("-h")) {
      std::fputs(help, stdout);
      return kExitOk;
    } else if (a == QStringLiteral("--port")) {
      o.port = value;
    } else if (a == QStringLiteral("--range")) {
      o.range = parseRange(value);
      if (!o.range) return usage(QStringLiteral("--range takes SSSS-EEEE, four hex digits each, for example 0000-03FF"));
    } else if (a == QStringLiteral("--raw")) {
      o.raw = value;
    } else if (read && a == QStringLiteral("--out")) {
      o.out = value;
    } else if (a.startsWith(u'-') && a.size() > 1) {
      return usage(QStringLiteral("unknown option '%1'").arg(args[i]));
    } else if (!read && o.file.isEmpty()) {
      o.file = a;
    } else {
      return usage(QStringLiteral("unexpected argument '%1'").arg(a));
    }
  }
  if (o.port.isEmpty()) return usage(QStringLiteral("--port is required"));
  bool isNumber = false;
  const int n = o.port.toInt(&isNumber, 10);
  if (isNumber && (n < 1 || n > PortMap::kPortCount))
    return usage(QStringLiteral("--port takes a device path or a port number 1 to 16"));
  if (!read && o.file.isEmpty() == o.raw.isEmpty())
    return usage(QStringLiteral("give either a data file or --raw FILE.bin"));
  return std::nullopt;
}

// Progress on stderr: a bar redrawn in place on a terminal, otherwise one
// line each time the progress reaches another whole 10 %.
class ProgressPrinter {
 public:
  explicit ProgressPrinter(QString name) : name_(std::move(name)), tty_(::isatty(STDERR_FILENO) == 1) {}

  void update(const CommunState& s) {
    if (tty_) {
      if (s.progress == shown_ && s.status == status_) return;
      // The window's final reset (bar 0, status empty) is not drawn.
      if (drawn_ && s.progress == 0 && s.status.isEmpty()) return;
      shown_ = s.progress;
      status_ = s.status;
      constexpr int kWidth = 30;
      const int filled = s.progress * kWidth / 100;
      const QString bar = QString(filled, u'#') + QString(kWidth - filled, u'-');
      // The status line already starts with the percentage while blocks go.
      const QString text = s.status.isEmpty() ? QStringLiteral("%1 %").arg(s.progress) : s.status;
      const QByteArray line = QStringLiteral("\r[%1] %2\x1b[K").arg(bar, text).toUtf8();
      std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
      std::fflush(stderr);
      drawn_ = true;
      return;
    }
    while (decade_ < 10 && s.progress >= (decade_ + 1) * 10) {
      ++decade_;
      printErr(QStringLiteral("zr417-cli %1: %2 %").arg(name_).arg(decade_ * 10));
    }
  }

  // Ends the bar's line before other messages.
  void finish() {
    if (tty_ && drawn_) std::fputs("\n", stderr);
    drawn_ = false;
  }

 private:
  QString name_;
  bool tty_;
  int decade_ = 0;
  int shown_ = -1;
  QString status_;
  bool drawn_ = false;
};

// The radio link of one command over a started session.
struct LinkRun {
  CliWaiter waiter;
  RadioLink link;
  Transfer transfer;
  ProgressPrinter progress;

  LinkRun(Session& s, const QString& name)
      : link(*s.core, waiter), transfer(link, *s.editors), progress(name) {
    transfer.addListener([this] { progress.update(transfer.state()); });
  }
};

// Points the link at --port. A number is used as the desktop program uses
// `ComPort` (searching the other ports when it does not answer); a device
// path gets a number for this run only and is the only port tried. Returns
// an error text, empty on success.
QString choosePort(LinkRun& run, Core& core, const QString& port) {
  bool isNumber = false;
  const int n = port.toInt(&isNumber, 10);
  run.link.portMap.refresh();
  if (isNumber) {
    core.settings.ComPort = n;
    run.transfer.searchOtherPorts = true;
    return {};
  }
  const int assigned = run.link.portMap.assign(port);
  if (assigned == 0) return QStringLiteral("no port number is free for %1").arg(port);
  // Kept in memory only: "COM" in the configuration is not rewritten.
  core.settings.ComPort = assigned;
  run.transfer.searchOtherPorts = false;
  return {};
}

// The failure lines: the status text and the reason (unless the reason was
// just shown as a message).
void reportFailure(Session& s, LinkRun& run, const QString& status, int messagesBefore) {
  run.progress.finish();
  const QString reason = run.transfer.failureText();
  const bool shown = s.prompts.messages.mid(messagesBefore).contains(reason);
  printErr(reason.isEmpty() || shown ? status : status + QStringLiteral(": ") + reason);
  if (run.transfer.outcome() == TransferOutcome::PortNotFound && !run.transfer.searchOtherPorts) {
    const QString why = run.link.serial.openError(s.core->settings.ComPort);
    if (!why.isEmpty()) printErr(why);
  }
}

void notePortChange(LinkRun& run, Core& core, int requested) {
  if (core.settings.ComPort != requested)
    printErr(QStringLiteral("zr417-cli: the radio answered on COM%1 (%2)")
                 .arg(core.settings.ComPort)
                 .arg(run.link.portMap.devicePath(core.settings.ComPort)));
}

}  // namespace

int runRead(const GlobalOptions& g, const QStringList& args) {
  Options o;
  if (auto exit = parseOptions(args, true, o)) return *exit;

  auto session = startSession(g);
  Core& c = *session->core;
  if (o.range) {
    c.settings.ReadStartAddr = o.range->first;
    c.settings.ReadEndAddr = o.range->second;
  }
  LinkRun run(*session, QStringLiteral("read"));
  const QString portProblem = choosePort(run, c, o.port);
  if (!portProblem.isEmpty()) {
    printErr(QStringLiteral("zr417-cli read: ") + portProblem);
    return kExitFailed;
  }
  const int requested = c.settings.ComPort;

  // The bytes as received, before the refresh decodes and repairs them.
  std::vector<uint8_t> received;
  run.transfer.readDataArrived = [&] { received = c.image.TempArray.bytes(); };
  const int messagesBefore = static_cast<int>(session->prompts.messages.size());
  const bool ok = run.transfer.cmdRead();
  if (!ok) {
    reportFailure(*session, run, c.text.SoftFace(Transfer::kTxtReadFailed), messagesBefore);
    return kExitFailed;
  }
  run.progress.finish();
  notePortChange(run, c, requested);

  if (!o.raw.isEmpty()) {
    try {
      writeFileAtomically(o.raw, received);
    } catch (const RunError& e) {
      printErr(QStringLiteral("zr417-cli read: cannot write %1: %2").arg(o.raw, e.detail()));
      return kExitFailed;
    }
  }
  if (!o.out.isEmpty()) {
    c.image.CurFilePath = QFileInfo(o.out).absoluteFilePath();
    if (!c.files.SaveDatFile()) {
      printErr(c.text.SoftFace(86));  // "Save file failed!"
      return kExitFailed;
    }
  }
  printErr(c.text.SoftFace(Transfer::kTxtReadOk));
  return kExitOk;
}

int runWrite(const GlobalOptions& g, const QStringList& args) {
  Options o;
  if (auto exit = parseOptions(args, false, o)) return *exit;

  auto session = startSession(g);
  Core& c = *session->core;
  if (o.range) {
    c.settings.WriteStartAddr = o.range->first;
    c.settings.WriteEndAddr = o.range->second;
  }
  if (!o.file.isEmpty()) {
    if (!c.files.OpenFile(o.file)) return kExitFailed;  // the message was shown
  } else {
    // A raw image from address 0, not realigned; then the editors show it,
    // so that the channel table the write encodes is the image's own.
    try {
      loadRaw(c.image.TempArray, readFileBytes(o.raw));
    } catch (const RunError& e) {
      printErr(QStringLiteral("zr417-cli write: cannot read %1: %2").arg(o.raw, e.detail()));
      return kExitFailed;
    }
    c.files.SoftDisplay();
  }

  LinkRun run(*session, QStringLiteral("write"));
  const QString portProblem = choosePort(run, c, o.port);
  if (!portProblem.isEmpty()) {
    printErr(QStringLiteral("zr417-cli write: ") + portProblem);
    return kExitFailed;
  }
  const int requested = c.settings.ComPort;
  const int messagesBefore = static_cast<int>(session->prompts.messages.size());
  if (!run.transfer.cmdWrite()) {
    reportFailure(*session, run, QStringLiteral("Write Failed"), messagesBefore);
    return kExitFailed;
  }
  run.progress.finish();
  notePortChange(run, c, requested);
  printErr(QStringLiteral("Write Successful"));
  return kExitOk;
}

}  // namespace zr::cli
