#pragma once
// The start-up screens and the bitmap sets: the splash images with their
// fades, the full-screen drawing the loading screen shares, and the loading
// of the interface's and the map's image sets into the renderer's nine slots
// and the interface root's slots (held by the ScreenManager, which adds the
// abort hook and its flags around these loaders).
#include <cstdint>

#include "platform/status.h"

struct Renderer;
class Texture;

inline constexpr int kUnitPictureCount = 430;
inline constexpr int kTechPictureCount = 6;

// The interface root's images. A null slot has not been made yet; deferred
// ones exist without a device texture until first acquired.
struct UiBitmaps {
  Texture* hexAlpha128 = nullptr;  // the hex mask of the close-up picture
  Texture* line = nullptr;         // route lines
  Texture* closeUp = nullptr;      // blank 128 x 128 work texture of the close-up
  Texture* tbits = nullptr;        // terrain tiles
  Texture* ugbits = nullptr;       // hex markers, borders, connections
  Texture* ugbitsMe = nullptr;     // the map editor's facility palette
  Texture* ubits = nullptr;        // unit discs and bars
  Texture* ebits = nullptr;        // map effect frames
  Texture* minimap = nullptr;      // the map's picture at the minimap's size
  Texture* cabinet = nullptr;      // portrait sheets
  Texture* avatar = nullptr;
  Texture* background = nullptr;  // BKGND
  Texture* menuNew = nullptr;     // MENUNEW
  Texture* otherImage = nullptr;  // a further full-screen image the music fade releases
  Texture* unitPictures[kUnitPictureCount] = {};
  Texture* unitPictures2[kUnitPictureCount] = {};
  Texture* techPictures[kTechPictureCount] = {};
};

// The splash images, each faded in and (the first) out with a wait; a key or
// a click cuts each one's waits short. Returns 0.
int32_t ShowSplashScreens();

// The cursor sheet, renderer sets 0, 2 and 4, and the portrait, background
// and menu images: each made when its slot is empty, else restored. Clears
// the renderer's last error first and returns it.
int32_t LoadInterfaceBitmapSets(UiBitmaps& bitmaps);
// The map's sets (made anew on every call), renderer sets 1 and 3 to 8 and
// the portraits (made or restored), the unit and technology picture tables
// (deferred), and with mapEditor the editor's palette. Clears the renderer's
// last error first and returns it.
int32_t LoadMapBitmapSets(UiBitmaps& bitmaps, int32_t mapEditor);
// Destroys the textures a game's map made and empties their slots; the
// interface's own sets, which front-end controls draw, stay.
void DestroyMapBitmaps(UiBitmaps& bitmaps);
// Destroys every texture of the slots and empties them.
void DestroyUiBitmaps(UiBitmaps& bitmaps);

// A full-screen image of the start-up screens, in the loading format, made
// for the moment (the caller deletes it).
Texture* MakeLoadingImage(const char* name);
// Draws the image's 1024 x 768 picture stretched over the whole screen and
// presents it; an image that did not load draws nothing.
void DrawFullScreenImage(Renderer& renderer, Texture* image);
// The user's brightness ramp, when the device can take ramps. Until a
// brightness has been chosen (the custom ramp still all zero) the base ramp
// stands for it.
void ApplyCustomRamp(Renderer& renderer);
// Whether the start-up screens skip their remaining waits: a key or a click
// set the skip flag, or the program is being closed (its quit message waits).
bool StartupScreenSkipped();
// Presents the back buffer when there is a device.
void PresentFrame(Renderer& renderer);
