#include "base/ConfigWriteReport.h"

#include "base/ErrorLog.h"

namespace zr {

void ConfigWriteReport::report(const QString& path, const QString& cause) {
  if (reported()) return;
  message_ = QStringLiteral("Settings are not saved: cannot write %1 (%2)")
                 .arg(path, cause.isEmpty() ? QStringLiteral("unknown cause") : cause);
  log_.LogError(QString::fromLatin1(kTag), kErrPathFileAccess);
  emit failed(message_);
}

}  // namespace zr
