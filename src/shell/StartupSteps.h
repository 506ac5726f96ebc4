#pragma once
// The start-up steps that the parts below the shell perform, put together
// here where the program is composed: the link's serial lists and port probe,
// the editors' grid and model lists, the hex view's layout and the fill
// window's address range. The desktop program adds its window steps on top.
#include "shell/Startup.h"

namespace zr {

struct Editors;
struct RadioLink;
class HexView;
class RangeFill;

// Serial settings name lists, the probe of "COM" and the port search.
void addLinkSteps(StartupHooks& hooks, RadioLink& link);
// The channel grid from the column definitions; model and band lists.
void addEditorSteps(StartupHooks& hooks, Editors& editors);
// The fill window's address range and the hex view's layout.
void addInspectorSteps(StartupHooks& hooks, const AppSettings& settings, HexView& view, RangeFill& fill);

// The data side of the start-up without windows: language (always English),
// image size from "DatNum", column definitions, every channel emptied, and
// the default image loaded as the initial band choice does. The first form
// runs without editors (the channel table only), the second with them (the
// CLI, tests).
void startHeadless(Core& core);
void startHeadless(Editors& editors);

}  // namespace zr
