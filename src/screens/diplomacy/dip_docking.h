#pragma once
// How the diplomacy department's panels take their place in the dock and
// make room for themselves. Window thread only.
#include <cstdint>

// Opens or closes the dock to depth (0 to 3); at depth 0 the command bar
// forgets its open panel. The pop-up button follows either way.
void DockPanelAtDepth(int32_t depth);
// A screen narrower than 1024 pixels has no room for the mail window beside
// a deep panel: closes it, unless the side screens hold it.
void CloseMailWhenNarrow();
