#pragma once
// How the diplomacy department's panels take their place in the dock; a
// third-level panel opens through ScreenSlotSelectMapMode, which also makes
// room for it beside the mail window. Window thread only.
#include <cstdint>

class Screen;

// Opens or closes the dock to depth (0 to 3); at depth 0 the command bar
// forgets its open panel. The pop-up button follows either way.
void DockPanelAtDepth(int32_t depth);
// An answered question on the relations level (war, surrender) leaves the
// dock, which falls back to the relations level: left hidden in its bar, it
// would show again whenever the dock next opens that level for a page of its
// own (the unit list's do), asking what was already answered.
void PutAnsweredQuestionAway(Screen& question);
