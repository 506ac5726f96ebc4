#include "editors/Editors.h"

namespace zr {

Editors::Editors(Core& c)
    : core(c),
      band(c),
      grid({c.ChTable, c.codec, c.columns, c.tones, c.text, c.settings, c.log,
            [this] { return band.BandMin; }, [this] { return band.BandMax; }, &c.history}),
      settings(c) {
  installFileHooks();
  // An undo step put image and channel table back: show them as they are,
  // writing no repair.
  QObject::connect(&core.history, &UndoHistory::restored, &grid, [this] {
    // The lists follow the image where it names a model and a range; bytes
    // they cannot show stay as the step left them.
    int model = -1;
    silently([&] { model = core.image.TempArray.at(kModelByteAddr); });
    if (model >= 0 && model < BandModel::kModelCount) band.selectModel(model);
    band.IicDatToFreRange(false);
    grid.hidePicker();
    grid.redisplay();
    settings.resync();
  });
}

void Editors::installFileHooks() {
  band.install(core.files.hooks);
  core.files.hooks.ShowChTblGrid = [this] { grid.ShowChTblGrid(); };
  core.files.hooks.hideTonePicker = [this] { grid.hidePicker(); };
  core.files.hooks.InitOpt = [this] { settings.InitOpt(); };
  core.files.hooks.voxCheck = [this] { settings.voxCheck(); };
  core.files.hooks.setAnVoice = [this](int position) { settings.setPosition(QStringLiteral("cboAnVoice"), position); };
}

}  // namespace zr
