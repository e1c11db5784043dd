#pragma once
// The docked panels and the side pop-up of the game's frame: how deep the
// panels under the map stand, and the mail screen docked at the right with
// the mail bar beside it. They move the command bars, so they live with the
// screens; the toolkit's pop-ups only ask for the depth (ui/popups.h).
// Window thread only.
#include <cstdint>

class Screen;
struct ScreenManager;

// Docked panels: closes those deeper than depth (and clears the map
// selection); at depth 0 the command bar forgets its open panel.
void PopPopupsTo(ScreenManager& ui, int32_t depth);
// Sets the docked depth to level, unless keep is set and level is not above
// the depth; level 3 on a screen narrower than 1024 pixels without side
// screens first closes the side pop-up.
void ClosePanelsAbove(ScreenManager& ui, int32_t level, int32_t keep);
// The side pop-up docked at the right (the mail screen): shows and
// refreshes the screen and its attached sub-screen (shown anew when the
// screen's LABELBUT is pressed), then, without side screens, marks it open
// with sound 8 and moves the mail bar beside it.
void ShowSidePopup(ScreenManager& ui, Screen& screen, Screen* attached);
// Hides it; without side screens marks it closed (sound 8 when it was open)
// and moves the mail bar back. Nothing with side screens on.
void ClosePopup(ScreenManager& ui, Screen& screen);
