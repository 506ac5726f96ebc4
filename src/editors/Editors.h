#pragma once
// The editors of one run over the program state: the model and band choice,
// the channel grid, and the hooks that tie them into the file commands and
// the start-up. The desktop program adds windows on top; the CLI uses them bare.
#include "editors/BandModel.h"
#include "editors/ChannelGrid.h"
#include "editors/SettingsMap.h"
#include "data/Core.h"

namespace zr {

struct Editors {
  explicit Editors(Core& core);

  Core& core;
  BandModel band;
  ChannelGrid grid;
  SettingsMap settings;

  // Fills the editor steps of the refresh after a load and of New.
  void installFileHooks();
};

}  // namespace zr
