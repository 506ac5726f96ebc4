#include "editors/Editors.h"

namespace zr {

Editors::Editors(Core& c)
    : core(c),
      band(c),
      grid({c.ChTable, c.codec, c.columns, c.tones, c.text, c.settings, c.log,
            [this] { return band.BandMin; }, [this] { return band.BandMax; }, &c.history}),
      settings(c) {
  // The editors hear first (they are built with the core); windows connect later.
  QObject::connect(&core.events, &DataEvents::replaced, &grid, [this](DataEvents::Replacement how) { showReplaced(how); });
  QObject::connect(&core.events, &DataEvents::bytesChanged, &grid, [this](int, int, const QObject*) { showChangedBytes(); });
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

void Editors::showReplaced(DataEvents::Replacement how) {
  using R = DataEvents::Replacement;
  // A failing step is logged under the command that replaced the data and
  // ends the refresh there, as it would end the command.
  const char* tag = how == R::New ? "mdifrmMain->NewFileSol" : how == R::Written ? "frmCommun->cmdWrite_Click"
                                                                                 : "modChMem->SoftDisplay";
  guarded(core.log, tag, [&] {
    const bool loaded = how == R::Loaded || how == R::DefaultsLoaded;
    if (loaded) {
      band.IicDatToModel();
      band.IicDatToFreRange();
    }
    grid.redisplay();  // the data layer decoded the channels
    settings.InitOpt();
    if (loaded) settings.voxCheck();
    if (how == R::New || how == R::DefaultsLoaded) {
      // The voice-prompt language follows the program's language.
      if (core.text.language() == kLangEng) settings.setPosition(QStringLiteral("cboAnVoice"), 2);
      else if (core.text.language() == kLangChs) settings.setPosition(QStringLiteral("cboAnVoice"), 1);
    }
    if (how == R::New) grid.hidePicker();
  });
}

void Editors::showChangedBytes() {
  // Raw bytes may belong to a channel record or a setting: decode them into
  // the channel table (so the next encoder run keeps them) and show them on
  // the settings pages, without writing anything back.
  guarded(core.log, "frmMemDat->GridDataTemp", [&] {
    grid.ShowChTblGrid();
    settings.resync();
  });
}

}  // namespace zr
