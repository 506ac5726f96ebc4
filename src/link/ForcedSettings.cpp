#include "link/ForcedSettings.h"

#include "base/ErrorLog.h"
#include "base/RunError.h"
#include "editors/SettingsMap.h"

namespace zr {

void applyForcedSettings(SettingsMap& settings, ErrorLog& log, const char* tag, std::span<const ForcedSetting> forced) {
  for (const ForcedSetting& f : forced) {
    const QString name = QString::fromLatin1(f.name);
    const FieldDef* d = settings.def(name);
    if (!d || d->widget != (f.list ? Widget::List : Widget::Check)) {
      const QString kind = f.list ? QStringLiteral("list") : QStringLiteral("check box");
      log.LogError(QString::fromUtf8(tag),
                   RunError(kErrSubscript, QStringLiteral("the write forces the %1 %2, which the settings do not have")
                                               .arg(kind, name)));
      continue;
    }
    if (f.list) settings.setPosition(name, f.value);
    else settings.setChecked(name, f.value != 0);
  }
}

}  // namespace zr
