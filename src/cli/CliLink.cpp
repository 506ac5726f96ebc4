#include "cli/CliLink.h"

#include <QRegularExpression>

#include <unistd.h>

#include "cli/CliParser.h"

namespace zr::cli {

std::optional<std::pair<int, int>> parseRange(const QString& text) {
  static const QRegularExpression re(QStringLiteral("^([0-9A-Fa-f]{4})-([0-9A-Fa-f]{4})$"));
  const auto m = re.match(text);
  if (!m.hasMatch()) return std::nullopt;
  // Read as plain addresses: "FFFF" is 65535 (past any image), not the
  // address boxes' signed -1.
  return std::make_pair(m.captured(1).toInt(nullptr, 16), m.captured(2).toInt(nullptr, 16));
}

std::optional<int> takeLinkOptions(const CommandParser& p, LinkOptions& o) {
  o.port = p.value(QStringLiteral("port"));
  if (o.port.isEmpty()) return p.usageError(QStringLiteral("--port is required"));
  bool isNumber = false;
  const int n = o.port.toInt(&isNumber, 10);
  if (isNumber && (n < 1 || n > PortMap::kPortCount))
    return p.usageError(QStringLiteral("--port takes a device path or a port number 1 to 16"));
  o.search = p.isSet(QStringLiteral("search"));
  if (o.search && !isNumber)
    return p.usageError(QStringLiteral("--search goes with a port number; a device path is the only port tried"));
  if (p.isSet(QStringLiteral("range"))) {
    const QString text = p.value(QStringLiteral("range"));
    o.range = parseRange(text);
    if (!o.range)
      return p.usageError(QStringLiteral("--range takes SSSS-EEEE, four hex digits each, for example 0000-03FF"));
    if (o.range->first > o.range->second)
      return p.usageError(QStringLiteral("--range %1 starts above its end").arg(text));
  }
  return std::nullopt;
}

std::optional<int> checkRangeInImage(const CommandParser& p, const LinkOptions& o, const Core& core) {
  const int last = core.image.TempArray.upperBound();
  if (o.range && o.range->second > last)
    return p.usageError(QStringLiteral("--range %1 ends past the image, which ends at %2")
                            .arg(p.value(QStringLiteral("range")),
                                 QString::number(last, 16).toUpper().rightJustified(4, u'0')));
  return std::nullopt;
}

ProgressPrinter::ProgressPrinter(QString name) : name_(std::move(name)), tty_(::isatty(STDERR_FILENO) == 1) {}

void ProgressPrinter::update(const CommunState& s) {
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

void ProgressPrinter::finish() {
  if (tty_ && drawn_) std::fputs("\n", stderr);
  drawn_ = false;
}

LinkRun::LinkRun(Session& s, const QString& name)
    : link(*s.core, waiter), transfer(link, *s.editors), progress(name) {
  QObject::connect(&transfer, &Transfer::stateChanged, [this] { progress.update(transfer.state()); });
  if (s.verbose)
    QObject::connect(&transfer, &Transfer::restarted, [this](const QString& line) {
      progress.finish();
      printErr(QStringLiteral("zr417-cli %1: %2").arg(progress.name(), line));
    });
}

// A number is the desktop program's port number, tried alone unless
// --search lets the search of ports 1 to 16 run; a device path gets a number
// for this run only and is the only port tried. Either way "COM" in the
// configuration stays as it is.
QString choosePort(LinkRun& run, Core& core, const LinkOptions& o) {
  bool isNumber = false;
  const int n = o.port.toInt(&isNumber, 10);
  run.link.portMap.refresh();
  run.link.access.storeFoundPort = false;
  if (isNumber) {
    core.settings.ComPort = n;
    run.transfer.searchOtherPorts = o.search;
    // The radio's port is named before any block goes to it.
    QObject::connect(&run.transfer, &Transfer::portOpened, [&run, name = run.progress.name()](int port) {
      const QString device = run.link.portMap.devicePath(port);
      printErr(QStringLiteral("zr417-cli %1: the radio answered on COM%2 (%3)").arg(name).arg(port).arg(device));
    });
    return {};
  }
  const int assigned = run.link.portMap.assign(o.port);
  if (assigned == 0) return QStringLiteral("no port number is free for %1").arg(o.port);
  core.settings.ComPort = assigned;
  run.transfer.searchOtherPorts = false;
  return {};
}

void reportFailure(Session& s, LinkRun& run, const QString& status, int messagesBefore) {
  run.progress.finish();
  // The system's text, then (for a partly written radio) what the radio now
  // holds, then the cause: each line once, also when a message said them.
  // A port that would not open is told on its own line, named by the command.
  const QString problem =
      run.transfer.outcome() == TransferOutcome::PortNotFound ? run.transfer.portProblem() : QString();
  QStringList lines = run.transfer.failureLines();
  if (!problem.isEmpty()) lines.removeAll(problem);
  const QStringList shown = s.prompts.messages.mid(messagesBefore);
  const bool allShown = !lines.isEmpty() && shown.contains(lines.join(u'\n'));
  if (lines.isEmpty() || allShown) {
    printErr(status);
  } else {
    printErr(status + QStringLiteral(": ") + lines.first());
    for (const QString& line : lines.mid(1)) printErr(line);
  }
  if (!problem.isEmpty()) printErr(QStringLiteral("zr417-cli %1: %2").arg(run.progress.name(), problem));
}

void noteBackup(const Transfer& transfer) {
  const BackupCopy& copy = transfer.lastBackup();
  if (!copy.ok()) printErr(QStringLiteral("zr417-cli: no backup copy: ") + copy.failure);
  else if (!copy.rawPath.isEmpty()) printErr(QStringLiteral("Backup: ") + copy.rawPath);
}

}  // namespace zr::cli
