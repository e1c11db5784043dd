#pragma once
// The editor's palette state that the frame reads: which palette is in use,
// the brush, the pending scroll and the scroll offsets, the dirty words and
// when the autosave interval began; and the palette drawing and scrolling
// the frame asks for. Window thread only.
#include <cstdint>

class Control;
class PlayerVariablesPanel;

enum EditorPaletteKind : int32_t { kPaletteTerrain = 2, kPaletteFacility = 5 };

// The palettes' sheets: cells of 32 pixels, 16 to a row of a 512-pixel
// window; the terrain sheet is 480 pixels tall.
inline constexpr int32_t kPaletteCell = 32;
inline constexpr int32_t kPaletteColumns = 16;
inline constexpr int32_t kPaletteSourceWidth = kPaletteCell * kPaletteColumns;
inline constexpr int32_t kTerrainSheetHeight = 480;
// Pixels a wheel notch scrolls.
inline constexpr int32_t kPaletteScrollStep = 20;

struct EditorPaletteState {
  int32_t kind = 0;           // EditorPaletteKind, 0 for none
  int32_t brush = -1;         // brush index; negative when none is chosen
  int32_t pendingScroll = 0;  // wheel movement not yet scrolled, shared by the palettes
  int32_t terrainOffset = 0;  // TERRAINBITS scroll offset
  int32_t facilityOffset = 0; // UGBITS scroll offset
  int32_t facilityBrush = 0;
  int32_t dirty[2] = {};
  uint32_t autosaveStart = 0;  // tick when the autosave interval began
};

extern EditorPaletteState g_editorPalette;

// Makes (kind, value) the editor's brush (kind 0 a terrain index, 1 a
// facility class, 2 units), takes whether the brush paints from the MAPMODE
// toggle and reopens the current editor mode's panel.
void SetMapEditMode(int32_t kind, int32_t value);
// Recomputes the derived world data after a load (the panel keeps it).
void RecalcDerivedMapData(PlayerVariablesPanel& panel);
// One frame of palette scrolling: half the pending movement is scrolled
// (the other half stays pending), within 0 and the sheet height less the
// visible height (which wins when negative). Returns the new offset.
int32_t ScrollPalette(int32_t& pending, int32_t offset, int32_t visible, int32_t sheetHeight);
// The brush highlight on a palette control: a frame round the brush
// terrain's tile, where it shows.
void DrawTerrainBits(Control* palette, uint32_t colour);
void DrawFacilityBits(Control* palette, uint32_t colour);
