#include "base/FrontEnd.h"

#include <QLocale>

namespace zr {

int lcidFromLocaleName(const QString& name) {
  // "zh_TW.UTF-8", "zh-TW", "en_US@euro" ...: language and territory only.
  QString base = name.section(u'.', 0, 0).section(u'@', 0, 0);
  base.replace(u'-', u'_');
  if (base.compare(QStringLiteral("zh_TW"), Qt::CaseInsensitive) == 0) return kLcidChineseTaiwan;
  if (base.compare(QStringLiteral("en_US"), Qt::CaseInsensitive) == 0) return kLcidEnglishUs;
  if (base.compare(QStringLiteral("zh_CN"), Qt::CaseInsensitive) == 0) return kLcidChinesePrc;
  return 0;
}

int FrontEnd::GetSystemDefaultLCID() { return lcidFromLocaleName(QLocale::system().name()); }

}  // namespace zr
