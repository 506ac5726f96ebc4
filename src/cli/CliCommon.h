#pragma once
// Shared pieces of the zr417-cli commands.
#include <QString>
#include <QStringList>
#include <cstdio>
#include <memory>
#include <optional>

#include "editors/Editors.h"
#include "data/Core.h"
#include "base/UserPrompts.h"

namespace zr::cli {

enum Exit : int { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };
// Files the commands only inspect are read up to this size, so a huge file or
// a device such as /dev/zero cannot eat the memory; no data file comes near it.
constexpr qint64 kMaxInputBytes = 1 << 20;

// Prompts of a non-interactive run: questions take a fixed answer, dialogs
// are cancelled, and every message goes to stderr.
class CliPrompts : public UserPrompts {
 public:
  bool answer = true;
  QStringList messages;
  // A message right after a logged failure carries the failure's cause
  // ("Wrong file type! x.dat: no such file").
  const ErrorLog* log = nullptr;
  int reportsSeen = 0;
  bool askYesNo(const QString&, const QString&) override { return answer; }
  // A command changes its data in memory and writes the file only at its end;
  // the commands refuse beforehand what would empty a file's channels. So a
  // new data set within one command drops nothing the user saved: Discard.
  SaveChoice askSaveDiscardCancel(const QString&, const QString&) override {
    return answer ? SaveChoice::Discard : SaveChoice::Cancel;
  }
  void message(const QString&, const QString& text, Icon) override;
  QString openFileName(const QString&, const QString&) override { return {}; }
  QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
};

struct GlobalOptions {
  QString configPath;    // --config, default kelvane.def beside the program
  QString programDir;    // folder of the executable
  bool verbose = false;  // --verbose: the error log's reports on stderr too
};

// A started core for one command, with its prompts.
struct Session {
  bool verbose = false;  // --verbose: the error log's reports and each restart of a transfer
  CliPrompts prompts;
  std::unique_ptr<Core> core;
  std::unique_ptr<Editors> editors;
};
std::unique_ptr<Session> startSession(const GlobalOptions& g);

void printErr(const QString& text);
// The line for a save that failed: "zr417-cli set: Save file failed! x.dat: <cause>".
void printSaveFailure(const Session& s, const QString& command, const QString& path);
void printOut(const QString& text);
// errno of the first write to stdout that failed, 0 when none did.
int outputErrno();

// Refuses (exit 1, with its reason) a file that is not a data file, for the
// commands that would rewrite it as one, unless `force`. A file that cannot
// be read at all is left to the Open that follows, which names the cause.
std::optional<int> refuseNonDataFile(const QString& command, const QString& path, bool force);
// One warning line when a file that is opened anyway is not a data file.
void warnNonDataFile(const QString& command, const QString& path);
// Serialises the commands that read, change and save one data file: an
// advisory lock on a lock file beside it (the data file itself is replaced by
// the save's rename, so it cannot hold the lock), held from the read to the
// rename. A second writer waits up to five seconds, then gives up.
class SaveLock {
 public:
  SaveLock() = default;
  ~SaveLock();
  SaveLock(const SaveLock&) = delete;
  SaveLock& operator=(const SaveLock&) = delete;
  // Exit 1 with a message when another program keeps the file too long.
  std::optional<int> take(const QString& command, const QString& dataFile);

 private:
  int fd_ = -1;
};

// Channels with a receive frequency, 1 to the channel count.
int channelsInUse(const Core& c);

int runShow(const GlobalOptions& g, const QStringList& args);
int runSet(const GlobalOptions& g, const QStringList& args);
int runChannels(const GlobalOptions& g, const QStringList& args);
int runSimulate(const GlobalOptions& g, const QStringList& args);
int runRead(const GlobalOptions& g, const QStringList& args);
int runWrite(const GlobalOptions& g, const QStringList& args);
int runNew(const GlobalOptions& g, const QStringList& args);
int runDiff(const GlobalOptions& g, const QStringList& args);
int runPorts(const GlobalOptions& g, const QStringList& args);
int runBatch(const GlobalOptions& g, const QStringList& args);

}  // namespace zr::cli
