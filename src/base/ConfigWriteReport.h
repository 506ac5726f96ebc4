#pragma once
// The first failure to write the configuration file is reported once per
// run: one error log report and one message for the status line. Later
// failures stay quiet (the user already knows that settings changed now are
// not kept), so a read-only configuration does not flood the log.
#include <QObject>
#include <QString>

namespace zr {

class ErrorLog;

class ConfigWriteReport : public QObject {
  Q_OBJECT
 public:
  static constexpr const char* kTag = "PrivateProfile->WriteString";

  explicit ConfigWriteReport(ErrorLog& log, QObject* parent = nullptr) : QObject(parent), log_(log) {}

  // A write of `path` failed because of `cause`.
  void report(const QString& path, const QString& cause);

  bool reported() const { return !message_.isEmpty(); }
  // The status line's text of the reported failure, naming the file and the cause.
  const QString& message() const { return message_; }

 signals:
  void failed(const QString& message);

 private:
  ErrorLog& log_;
  QString message_;
};

}  // namespace zr
