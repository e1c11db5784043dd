#pragma once
// How the diplomacy department's panels take their place in the dock; a
// third-level panel opens through ScreenSlotSelectMapMode, which also makes
// room for it beside the mail window. Window thread only.
#include <cstdint>

// Opens or closes the dock to depth (0 to 3); at depth 0 the command bar
// forgets its open panel. The pop-up button follows either way.
void DockPanelAtDepth(int32_t depth);
