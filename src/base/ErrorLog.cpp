#include "base/ErrorLog.h"

#include <QDateTime>
#include <QLocale>
#include <initializer_list>
#include <iterator>

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
    // Each line is put together in one piece (a report can come per channel).
    const auto joined = [](std::initializer_list<QStringView> parts) {
      qsizetype size = 0;
      for (QStringView p : parts) size += p.size();
      QString line;
      line.reserve(size);
      for (QStringView p : parts) line.append(p);
      return line;
    };
    insert(joined({u"---------", when, u"--------"}));
    description_ = VbErrNumDes(code);
    char16_t digits[12];
    qsizetype begin = std::size(digits);
    unsigned v = code < 0 ? 0u - static_cast<unsigned>(code) : static_cast<unsigned>(code);
    do {
      digits[--begin] = static_cast<char16_t>(u'0' + v % 10);
      v /= 10;
    } while (v);
    if (code < 0) digits[--begin] = u'-';
    insert(joined({u"    ", u"     错误:  ", tag, u"     出错号:  ", QStringView(digits + begin, std::size(digits) - begin),
                   u"     出错点:  ", source_, u"     出错描述:  ", description_}));
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
