#pragma once
// The editor's palette state that the frame reads: which palette is in use,
// the brush, the pending scroll and the scroll offsets, the dirty words and
// when the autosave interval began; and the palette drawing the frame asks
// for. Window thread only.
#include <cstdint>

class Control;
class MapEditorSs2;

enum EditorPaletteKind : int32_t { kPaletteTerrain = 2, kPaletteFacility = 5 };

struct EditorPaletteState {
  int32_t kind = 0;           // EditorPaletteKind, 0 for none
  int32_t brush = -1;         // brush index; negative when none is chosen
  int32_t pendingScroll = 0;  // pixels still to scroll the palette in use
  int32_t terrainOffset = 0;  // TERRAINBITS scroll offset
  int32_t facilityOffset = 0; // UGBITS scroll offset
  int32_t facilityBrush = 0;
  int32_t dirty[2] = {};
  uint32_t autosaveStart = 0;  // tick when the autosave interval began
  int32_t mapEditMode = 0;
};

extern EditorPaletteState g_editorPalette;

// Makes (kind, value) the editor's brush (kind 0 a terrain index, 1 an
// object class), takes whether the brush paints from the MAPMODE button and
// reopens the current editor mode's panel.
void SetMapEditMode(int32_t kind, int32_t value);
// Recomputes the derived world data after a load (the panel keeps it).
void RecalcDerivedMapData(MapEditorSs2& panel);
// The brush highlight on a palette control.
void DrawTerrainBits(Control* palette, uint32_t colour);
void DrawFacilityBits(Control* palette, uint32_t colour);
