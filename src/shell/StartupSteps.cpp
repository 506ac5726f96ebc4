#include "shell/StartupSteps.h"

#include "editors/Editors.h"
#include "inspector/HexView.h"
#include "inspector/RangeFill.h"
#include "link/PortAccess.h"

namespace zr {

void addLinkSteps(Startup& startup) {
  QObject::connect(&startup, &Startup::buildSerialLists, [] { serialCodeLists(); });
}

void addEditorSteps(Startup& startup, Editors& editors) {
  QObject::connect(&startup, &Startup::initChannelWindow, [&editors] { editors.grid.SetChGrid(); });
  QObject::connect(&startup, &Startup::ChInfoModel, [&editors] { editors.band.ChInfoModel(); });
}

void addInspectorSteps(Startup& startup, const AppSettings& settings, HexView& view, RangeFill& fill) {
  QObject::connect(&startup, &Startup::addressesRead, [&settings, &fill] { fill.reset(settings.TableMaxAddr); });
  QObject::connect(&startup, &Startup::layoutHexView, [&view] { view.SetGridMemDat(); });
}

namespace {
// Without a desktop around it the start-up answers its questions itself.
FrontEnd& headlessFrontEnd() {
  static FrontEnd frontEnd;
  return frontEnd;
}
}  // namespace

void startHeadless(Core& core) {
  Startup startup(core, headlessFrontEnd());
  startup.runFirstRunStep = false;
  startup.run();
}

void startHeadless(Editors& editors) {
  Startup startup(editors.core, headlessFrontEnd());
  startup.runFirstRunStep = false;
  addEditorSteps(startup, editors);
  startup.run();
}

void resetForStart(Editors& editors) {
  Core& core = editors.core;
  core.image = MemoryImage{};
  // The start-up empties the channels of the column definitions it reads;
  // the others stay as a new table has them.
  core.ChTable = ChannelTable{};
  core.settings = AppSettings{};
  core.columns = ChColumnDefs::fallback();
  core.CurLang = kLangEng;
  core.log.unload();
  core.log.forgetReports();
  core.history.clear();
  // A refresh that fails part way leaves the fields after the failure as
  // they were.
  editors.settings.clearShown();
}

void startHeadlessAgain(Editors& editors) {
  resetForStart(editors);
  startHeadless(editors);
}

}  // namespace zr
