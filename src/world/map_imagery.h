#pragma once
// Where the map code reaches the interface: loading the map image and
// resetting the map view. The world does not draw; the interface installs
// these hooks at start-up, and without them (the headless runner, tests)
// there is nothing to load or reset.
#include <cstdint>
#include <string>

#include "platform/status.h"

struct MapHeader;

struct MapViewHooks {
  // Releases the previous map image and texture, loads the image at the
  // given game path, lets the view size itself and makes the map texture.
  plat::Status (*loadImagery)(const std::string& imagePath) = nullptr;
  // The map changed: the view resets and sizes its per-cell buffers.
  void (*resetView)(int32_t width, int32_t height) = nullptr;
};

extern MapViewHooks g_mapViewHooks;

// "MAPS\Imagery\" + the header's imagery name + ".PNG".
std::string MapImageryPath(const MapHeader& header);
// 0, or the failure of the hook.
plat::Status LoadMapImagery(const MapHeader& header);
