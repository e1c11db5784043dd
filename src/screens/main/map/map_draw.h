#pragma once
// The map frame: the layers drawn into the map view each frame, in their
// fixed order, and the helpers every layer draws through: one sprite in map
// pixels, a marker over a hex, a hex's tile box and the walk over the hexes
// in view with the columns of a wrapping map brought back onto it.
#include <cstdint>

#include "platform/status.h"
#include "platform/window.h"
#include "screens/common/screen_types_fwd.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/main/map/map_view.h"

// Magnification caps: the zoom below which a sprite stops growing.
inline constexpr float kMapCapTiles = 0.3f;     // terrain, markers, borders, imagery
inline constexpr float kMapCapUnitsFixed = 1.0f;  // units and effects with bunitnozoom
inline constexpr float kMapCapUnitsZoom = 0.5f;   // units and effects without it

// Hex marker cells of UGBITS.
inline constexpr int32_t kMarkerCursor = 1;  // cursor and selected hex
inline constexpr int32_t kMarkerGrid = 2;
inline constexpr int32_t kMarkerShade = 3;  // LOS shading and overlays

inline constexpr uint32_t kSelectedHexColour = 0xFF0000FFu;

// The frame. Holds the simulation lock while it walks cells and units.
// Returns 0.
int32_t DrawMapView(MapView& view, int32_t flag);
// Forgets the zoom of the previous frame and what was read or drawn from
// the sheets (a new view, the tests).
void ResetMapFrame();

// One textured (or, without a texture, solid) rectangle given in map pixels:
// the pan and zoom applied, magnified no further than the cap. A null mask
// draws the colour as a plain tint. A texture that has no picture on the
// device draws nothing. Returns what the sprite batch returns.
plat::Status DrawMapSprite(const MapView& view, Texture* texture, const plat::Rect* source, float x, float y,
                           float width, float height, uint32_t colour, Texture* mask, float cap);

// The 30 x 30 square of a hex in which its tile, markers and icons are
// drawn: its top-left corner in map pixels.
inline Hex HexTileBox(int32_t column, int32_t row) {
  return {column * kHexColumnWidth - 3, row * kHexHeight - ((column & 1) ? 4 : 15)};
}
inline constexpr int32_t kHexTileSize = 30;

// Where a hex's copy stands east of a wrapping map's seam: the map width
// when the (reduced) column lies left of the first column in view, else 0.
int32_t WrappedCopyOffset(const MapView& view, int32_t column);

// A marker cell of UGBITS over the hex in the colour; nothing for hex
// (0, 0) or a colour of no alpha.
void DrawHexMarker(int32_t marker, uint32_t colour, const MapView& view, uint32_t packedHex);

// Calls fn(packedHex) for every hex in view, row by row: on a wrapping map a
// column past the east edge is reduced onto the map; a hex off the map is
// passed as (0, 0), which every per-hex routine skips.
template <typename Fn>
void ForEachVisibleHex(const MapView& view, Fn&& fn) {
  if (view.columns <= 0) return;
  for (int32_t row = view.firstRow; row < view.endRow; ++row) {
    for (int32_t column = view.firstColumn; column < view.endColumn; ++column) {
      int32_t x = column;
      bool onMap = row >= 0 && row < view.rows;
      if (view.wraps) {
        x = ((column % view.columns) + view.columns) % view.columns;
      } else if (column < 0 || column >= view.columns) {
        onMap = false;
      }
      fn(onMap ? PackHex(x, row) : 0u);
    }
  }
}

// The terrain layer and one hex of it (the map editor's brush terrain in
// place of the cell's with useBrush).
void DrawTerrainHexes(const MapView& view);
void DrawTerrainHex(const MapView& view, uint32_t packedHex, bool useBrush);
// The last layers: the band being dragged and the hex under the cursor.
void DrawRubberBand(const MapView& view);
void DrawCursorHex(const MapView& view);
