#pragma once
// The editors of one run over the program state: the model and band choice,
// the channel grid and the settings, following what the data layer tells of
// the image. The desktop program adds windows on top; the CLI uses them bare.
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

  // Shows the image again after the data layer replaced it: a load
  // positions the model and band lists first and checks the VOX comparison
  // values last; New and the default settings put the voice list to the
  // language; New hides the tone picker.
  void showReplaced(DataEvents::Replacement how);
  // Shows bytes that another editor (the hex view) changed in place.
  void showChangedBytes();
};

}  // namespace zr
