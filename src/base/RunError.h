#pragma once
// A run-time failure carrying the numeric code the error log shows beside the
// procedure tag (9 for an index out of range, 13 for a type mismatch, ...).
#include <QString>
#include <stdexcept>

namespace zr {

// Codes of the run-time failures our own code raises. They follow the usual
// numbering of run-time errors so that the log's description table applies.
enum ErrCode : int {
  kErrInvalidCall = 5,
  kErrOverflow = 6,
  kErrOutOfMemory = 7,
  kErrSubscript = 9,
  kErrDivisionByZero = 11,
  kErrTypeMismatch = 13,
  kErrBadFileNameOrNumber = 52,
  kErrFileNotFound = 53,
  kErrBadFileMode = 54,
  kErrDeviceIo = 57,
  kErrFileExists = 58,
  kErrDiskFull = 61,
  kErrInputPastEnd = 62,
  kErrPermissionDenied = 70,
  kErrPathFileAccess = 75,
  kErrPathNotFound = 76,
};

class RunError : public std::runtime_error {
 public:
  explicit RunError(int code, const QString& detail = QString())
      : std::runtime_error(detail.toStdString()), code_(code), detail_(detail) {}
  int code() const { return code_; }
  // Our own words on what went wrong (for stderr in the CLI; not part of the log line).
  const QString& detail() const { return detail_; }

 private:
  int code_;
  QString detail_;
};

[[noreturn]] inline void throwSubscript(const char* what, long long index, long long lo, long long hi) {
  throw RunError(kErrSubscript, QStringLiteral("%1 index %2 outside %3..%4")
                                    .arg(QLatin1String(what)).arg(index).arg(lo).arg(hi));
}

}  // namespace zr
