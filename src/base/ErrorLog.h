#pragma once
// The error log: every procedure that fails hands its tag to LogError, which
// adds two lines (a dated separator and the report) to the log list. The list
// is the model of the log window; the CLI echoes the reports on stderr
// with --verbose.
#include <QObject>
#include <QStringList>
#include <functional>
#include <vector>

#include "base/RunError.h"

namespace zr {

// Description of a run-time failure code, empty when the code is unknown.
QString VbErrNumDes(int code);
// The keys of the description table, in table order.
const std::vector<int>& VbErrCodes();

class ErrorLog : public QObject {
  Q_OBJECT
 public:
  static constexpr int kMaxLines = 32767;

  explicit ErrorLog(QString source = QStringLiteral("ZR417CPS"), QObject* parent = nullptr);

  // Report a failure of the procedure `tag` with the run-time `code`.
  void LogError(const QString& tag, int code);
  // The same, keeping the failure's own words (`lastDetail`) beside the
  // report; the log's two lines stay as they are.
  void LogError(const QString& tag, const RunError& e);

  // The log window's load step: empties the list and resets the counter.
  void load();
  // Showing the window from the View menu: loads it when it is not loaded,
  // otherwise just brings it up with its lines.
  void show() {
    if (!loaded_) load();
    else emit loaded();
  }
  // Closing the window unloads it: the next report loads it again.
  void unload();
  bool isLoaded() const { return loaded_; }
  // Forgets the reports as a fresh start has none: their count, the last
  // tag, code, cause and description (the lines stay; `load` empties them).
  void forgetReports();

  const QStringList& lines() const { return lines_; }
  int counter() const { return counter_; }
  int selected() const { return selected_; }
  const QString& currentDescription() const { return description_; }
  int reportCount() const { return reports_; }
  const QString& lastTag() const { return lastTag_; }
  int lastCode() const { return lastCode_; }
  // What the last report's failure said about its cause ("x.dat: no such
  // file"); empty when it said nothing.
  const QString& lastDetail() const { return lastDetail_; }

  // Override the clock text (tests); empty means the current date and time.
  void setClockText(std::function<QString()> clock) { clock_ = std::move(clock); }

 signals:
  // Each report line, and the cause after a report that has one, also past
  // the line cap (the CLI's --verbose prints them on stderr).
  void reported(const QString& line);
  void loaded();                                 // the window should show itself
  void lineInserted(int position, const QString& text);
  // The report line at `position` has a cause in our own words (a tool tip).
  void detailAdded(int position, const QString& detail);

 private:
  void insert(const QString& text);

  QString source_;
  QStringList lines_;
  int counter_ = 0;
  int selected_ = -1;
  bool loaded_ = false;
  int reports_ = 0;
  QString lastTag_;
  int lastCode_ = 0;
  QString lastDetail_;
  QString description_;
  std::function<QString()> clock_;
};

// Runs `body` as one procedure of the system: a failure inside is logged
// under `tag` and swallowed, and the caller carries on as if it had finished.
// Returns false when the body failed.
template <class F>
bool guarded(ErrorLog& log, const char* tag, F&& body) {
  try {
    body();
    return true;
  } catch (const RunError& e) {
    log.LogError(QString::fromUtf8(tag), e);
  } catch (const std::bad_alloc&) {
    log.LogError(QString::fromUtf8(tag), kErrOutOfMemory);
  } catch (const std::exception&) {
    log.LogError(QString::fromUtf8(tag), kErrInvalidCall);
  }
  return false;
}

// The same, for procedures that stop silently at their first failing step.
template <class F>
bool silently(F&& body) {
  try {
    body();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace zr
