#include "shell/Core.h"

#include "shell/Startup.h"

namespace zr {

Core::Core(QString dir, QString configPath, UserPrompts& p, QString logSource)
    : programDir(std::move(dir)),
      paths(AppPaths::forProgram(programDir)),
      log(std::move(logSource)),
      ini(std::move(configPath)),
      columns(ChColumnDefs::fallback()),
      codec(image.TempArray, image.DefTempArray, ChTable, tones, columns, log),
      history(image, ChTable),
      prompts(p),
      files(image, codec, text, p, log, programDir, history) {}

void Core::startHeadless() {
  StartupHooks hooks;
  hooks.runFirstRunStep = false;
  Startup(*this, std::move(hooks)).run();
}

}  // namespace zr
