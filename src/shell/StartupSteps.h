#pragma once
// The start-up steps that the parts below the shell perform, connected here
// where the program is composed: the link's serial lists, the editors' grid
// and model lists, the hex view's layout and the fill window's address range.
//
// Order: a step's slots run in the order they were connected. Within one
// step the parts below come first (the grid is built from the column
// definitions before its window shows it), so connect these before the
// desktop program's window slots; `DesktopApp::start` does.
#include "shell/Startup.h"

namespace zr {

struct Editors;
struct RadioLink;
class HexView;
class RangeFill;

// Serial settings name lists. (Whether "COM" opens, and the port search, the
// start-up asks its front end: the desktop program answers through the link.)
void addLinkSteps(Startup& startup);
// The channel grid from the column definitions; model and band lists.
void addEditorSteps(Startup& startup, Editors& editors);
// The fill window's address range and the hex view's layout.
void addInspectorSteps(Startup& startup, const AppSettings& settings, HexView& view, RangeFill& fill);

// The data side of the start-up without windows: language (always English),
// image size from "DatNum", column definitions, every channel emptied, and
// the default image loaded as the initial band choice does. The first form
// runs without editors (the channel table only), the second with them (the
// CLI, tests).
void startHeadless(Core& core);
void startHeadless(Editors& editors);
// Puts back what the start-up builds on as new core and editors have it: the
// image, the channel table, the settings, the column definitions, the
// settings pages' fields, an empty error log and undo history.
void resetForStart(Editors& editors);
// The start-up again on editors that ran one before, over the configuration
// file as it is now: `resetForStart` and `startHeadless`, so the result is
// the one new core and editors would give.
void startHeadlessAgain(Editors& editors);

}  // namespace zr
