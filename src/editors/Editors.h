#pragma once
// The editors of one run over the program state: the model and band choice,
// the channel grid, and the hooks that tie them into the file commands and
// the start-up. The desktop program adds windows on top; the CLI uses them bare.
#include "editors/BandModel.h"
#include "editors/ChannelGrid.h"
#include "editors/SettingsMap.h"
#include "shell/Core.h"
#include "shell/Startup.h"

namespace zr {

struct Editors {
  explicit Editors(Core& core);

  Core& core;
  BandModel band;
  ChannelGrid grid;
  SettingsMap settings;

  // Fills the editor steps of the refresh after a load and of New.
  void installFileHooks();
  // The start-up steps the editors perform (channel grid, model and band lists).
  void addStartupHooks(StartupHooks& hooks);
  // Starts the program without windows (the CLI): every run in English.
  void startHeadless();
};

}  // namespace zr
