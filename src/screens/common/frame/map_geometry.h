#pragma once
// Hex map geometry of the map view: screen point to hex, zoom and scroll
// limits, clamping the pan and centring on a hex.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "sim/game_command.h"  // PackHex

// A hex passed in one word: column in the low 16 bits, row in the high 16,
// both signed. Hex (0, 0) doubles as no hex.
struct Hex {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const Hex&) const = default;
};
inline Hex UnpackHex(uint32_t packed) {
  return {static_cast<int16_t>(packed & 0xFFFFu), static_cast<int16_t>(packed >> 16)};
}

inline constexpr int32_t kHexColumnWidth = 18;
inline constexpr int32_t kHexHeight = 22;
// The zoom a loaded map opens at in the interface: twice its own size.
inline constexpr float kOpeningZoom = 0.5f;

// The centre of a hex in map pixels; odd columns sit half a hex lower.
Hex HexCentre(int32_t column, int32_t row);

// The column and row of a map pixel before any check against the map: the
// point may give a column or row outside it.
Hex MapPixelToHexUnchecked(int32_t mapX, int32_t mapY);
// The hex under a map pixel on the view's map: columns wrap on a wrapping
// map; anything else off the map gives (0, 0).
Hex MapPixelToHex(const MapView& view, int32_t mapX, int32_t mapY);
// The map pixel under a screen point at the view's pan and zoom.
Hex ScreenToMapPixel(const MapView& view, int32_t screenX, int32_t screenY);

// A map was loaded or resized: sizes in map pixels, imagery scale, the map
// centred in the viewport at zoom 1, then the zoom limits.
void InitMapViewGeometry(MapView& view, int32_t columns, int32_t rows, bool wraps,
                         int32_t imageWidth, int32_t imageHeight);
void SetMapZoomLimits(MapView& view, bool fullZoom);
void ComputeMapScrollLimits(MapView& view);
// Brings the pan within its limits and recomputes the visible hex range.
void ClampMapPan(MapView& view);
void CentreMapOnHex(MapView& view, uint32_t packedHex);
// Centres on the pending hex, if any, and lets the minimap's box follow.
void CentreOnPendingHex(MapView& view);
