#include "data/Core.h"


namespace zr {

Core::Core(QString dir, QString configPath, UserPrompts& p, QString logSource)
    : programDir(std::move(dir)),
      paths(AppPaths::forProgram(programDir)),
      log(std::move(logSource)),
      ini(configPath.isEmpty() ? paths.configFile : std::move(configPath)),
      columns(ChColumnDefs::fallback()),
      codec(image.TempArray, image.DefTempArray, ChTable, tones, columns, log),
      history(image, ChTable),
      prompts(p),
      files(image, codec, text, p, log, paths, history, events) {
  QObject::connect(&ini, &PrivateProfile::writeFailed, &configReport,
                   [this](const QString& path, const QString& cause) { configReport.report(path, cause); });
  // The user's own configuration starts as a copy of the shipped one.
  if (ini.path() == paths.configFile) {
    const QString why = paths.provideConfigFile();
    if (!why.isEmpty()) configReport.report(paths.configFile, why);
  }
}

}  // namespace zr
