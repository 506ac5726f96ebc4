#include "shell/StartupSteps.h"

#include "editors/Editors.h"
#include "inspector/HexView.h"
#include "inspector/RangeFill.h"
#include "link/PortAccess.h"
#include "link/RadioLink.h"

namespace zr {

void addLinkSteps(StartupHooks& hooks, RadioLink& link) {
  hooks.buildSerialLists = [] { serialCodeLists(); };
  hooks.VerdictCom = [&link](int port) { return link.access.VerdictCom(port); };
  hooks.AutoSetPort = [&link] { link.access.AutoSetPort(); };
}

void addEditorSteps(StartupHooks& hooks, Editors& editors) {
  auto windowStep = hooks.initChannelWindow;
  hooks.initChannelWindow = [&editors, windowStep] {
    editors.grid.SetChGrid();
    if (windowStep) windowStep();
  };
  hooks.ChInfoModel = [&editors] { editors.band.ChInfoModel(); };
}

void addInspectorSteps(StartupHooks& hooks, const AppSettings& settings, HexView& view, RangeFill& fill) {
  auto placeTexts = hooks.placeAddressTexts;
  hooks.placeAddressTexts = [placeTexts, &settings, &fill] {
    if (placeTexts) placeTexts();
    fill.reset(settings.TableMaxAddr);
  };
  auto layout = hooks.layoutHexView;
  hooks.layoutHexView = [layout, &view] {
    if (layout) layout();
    view.SetGridMemDat();
  };
}

void startHeadless(Core& core) {
  StartupHooks hooks;
  hooks.runFirstRunStep = false;
  Startup(core, std::move(hooks)).run();
}

void startHeadless(Editors& editors) {
  StartupHooks hooks;
  hooks.runFirstRunStep = false;
  addEditorSteps(hooks, editors);
  Startup(editors.core, std::move(hooks)).run();
}

}  // namespace zr
