#pragma once
// What read and write share: the radio link of one command, its progress on
// stderr, the choice of port and the failure lines.
#include <QString>
#include <optional>
#include <utility>

#include "cli/CliCommon.h"
#include "link/RadioLink.h"
#include "link/Transfer.h"
#include "link/Waiters.h"

namespace zr::cli {

class CommandParser;

// "SSSS-EEEE": four hex digits each.
std::optional<std::pair<int, int>> parseRange(const QString& text);

// The options read and write share (declared in the command table).
struct LinkOptions {
  QString port;                              // --port: a device path or a number 1..16
  bool search = false;                       // --search: ports 1..16 when the number does not answer
  std::optional<std::pair<int, int>> range;  // --range
};
// Checks and takes them; returns an exit code on a usage error.
std::optional<int> takeLinkOptions(const CommandParser& p, LinkOptions& o);
// A range must also end inside the image, whose size the configuration gives.
std::optional<int> checkRangeInImage(const CommandParser& p, const LinkOptions& o, const Core& core);

// Progress on stderr: a bar redrawn in place on a terminal, otherwise one
// line each time the progress reaches another whole 10 %.
class ProgressPrinter {
 public:
  explicit ProgressPrinter(QString name);
  const QString& name() const { return name_; }
  void update(const CommunState& s);
  // Ends the bar's line before other messages.
  void finish();

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

  LinkRun(Session& s, const QString& name);
};

// Points the link at --port, for this run only. Returns an error text,
// empty on success.
QString choosePort(LinkRun& run, Core& core, const LinkOptions& o);

// The failure lines: the status text and the reason (unless the reason was
// just shown as a message), then why the port would not open.
void reportFailure(Session& s, LinkRun& run, const QString& status, int messagesBefore);

// Where the transfer's copy went (or why it could not be kept).
void noteBackup(const Transfer& transfer);

}  // namespace zr::cli
