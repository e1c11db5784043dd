#pragma once
// The main window: a borderless, top-most window at the screen's corner of
// the game's display size.
#include "app/app_object.h"
#include "platform/window.h"

// Makes the main window of class "VDClass" with the platform block's title,
// at 0,0 with the Gamerezx x Gamerezy setting (800 x 600 while unset), gives
// it the focus and the mouse, and keeps it and its client rectangle in the
// platform block. Null when no window can be made.
plat::Window* CreateMainWindow(PlatformState& platform);
