#pragma once
// The interface root's part in the start-up screens and the bitmap sets: it
// owns the image slots, the abort hook and the flags around the loaders, and
// starts the intro music with the loading screen.
#include <cstdint>

struct ScreenManager;

// The interface's bitmap sets (start-up and game release); 0 when every load
// succeeded, else the renderer's last error. Loads nothing and returns 0
// when the root's abort hook says so.
int32_t LoadUiBitmaps(ScreenManager& ui);
// The map, unit and technology sets (log-on); then the bitmaps-loaded flag
// is set. The result and the abort hook as for LoadUiBitmaps.
int32_t LoadMapBitmaps(ScreenManager& ui);
// Fades to the loading image (the menu image once the loading image has been
// shown), starts the intro music (played unless in the map editor) and fades
// in. networkRole is what start-up and the game switch hand over; the screen
// looks the same either way. Returns 0.
int32_t ShowLoadingScreen(int32_t networkRole);
// Fades the music down, lets go of the full-screen images' device textures
// (they load again when next drawn) and clears the back buffer.
void FadeOutMusic(ScreenManager& ui);
