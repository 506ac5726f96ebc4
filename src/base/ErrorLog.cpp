#include "base/ErrorLog.h"

#include <QDateTime>
#include <QLocale>

namespace zr {

ErrorLog::ErrorLog(QString source, QObject* parent) : QObject(parent), source_(std::move(source)) {}

void ErrorLog::load() {
  lines_.clear();
  counter_ = 0;
  selected_ = -1;
  loaded_ = true;
  emit loaded();
}

void ErrorLog::unload() {
  loaded_ = false;
  lines_.clear();
  counter_ = 0;
  selected_ = -1;
}

void ErrorLog::forgetReports() {
  reports_ = 0;
  lastTag_ = QString();
  lastCode_ = 0;
  lastDetail_ = QString();
  description_ = QString();
}

void ErrorLog::insert(const QString& text) {
  // The counter is a 16-bit count: past its range no more lines are kept,
  // but the report itself still reaches the echo (stderr in the CLI).
  emit reported(text);
  if (counter_ >= kMaxLines) return;
  lines_.insert(counter_, text);
  selected_ = counter_;
  emit lineInserted(counter_, text);
  ++counter_;
}

void ErrorLog::LogError(const QString& tag, int code) {
  try {
    if (!loaded_) load();
    QString when;
    if (clock_) {
      when = clock_();
    } else {
      // The short date of the user's locale and the time with seconds.
      const QDateTime now = QDateTime::currentDateTime();
      when = QLocale::system().toString(now.date(), QLocale::ShortFormat) + u' ' +
             now.time().toString(QStringLiteral("HH:mm:ss"));
    }
    insert(QStringLiteral("---------") + when + QStringLiteral("--------"));
    description_ = VbErrNumDes(code);
    insert(QStringLiteral("    ") + QStringLiteral("     错误:  ") + tag + QStringLiteral("     出错号:  ") +
           QString::number(code) + QStringLiteral("     出错点:  ") + source_ +
           QStringLiteral("     出错描述:  ") + description_);
    ++reports_;
    lastTag_ = tag;
    lastCode_ = code;
    lastDetail_.clear();
  } catch (...) {
    // The logger never fails towards its caller and does not log itself.
  }
}

void ErrorLog::LogError(const QString& tag, const RunError& e) {
  LogError(tag, e.code());
  try {
    lastDetail_ = e.detail();
    if (lastDetail_.isEmpty()) return;
    emit reported(QStringLiteral("    cause: ") + lastDetail_);
    if (counter_ > 0 && counter_ <= kMaxLines) emit detailAdded(counter_ - 1, lastDetail_);
  } catch (...) {
  }
}

}  // namespace zr
