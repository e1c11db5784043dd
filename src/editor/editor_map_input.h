#pragma once
// What the map's mouse does in the map editor: the brush applied at the
// clicked hex, the brush picked from the map, the panel of the current
// editor mode, and the direct edit of a hex's links. Window thread only.
#include <cstdint>

class MapView;
struct World;

// Brush kinds: the terrain index, or an object class number.
enum EditorBrushKind : int32_t { kBrushTerrain = 0, kBrushObject = 1 };

struct EditorMapState {
  int32_t mode = 0;        // the tool panel shown
  int32_t brushKind = kBrushTerrain;
  int32_t brushValue = 0;  // terrain index or class number
  int32_t editing = 0;     // the brush paints (the MAPMODE button is down)
};
extern EditorMapState g_editorMap;

// Applies the brush at the game's current hex while editing is on; drag is 1
// while the left button is dragged over the map.
void EditorBrushAtHex(MapView& view, int32_t drag);
// Stores the editor mode and opens its tool panel.
void OpenEditorModePanel(int32_t mode);
// Links the hex towards its neighbour in direction d (0 to 5) for a linked
// class, pass and mark as the editor's caller gives them.
void EditorLinkHex(World& world, uint32_t position, int32_t classIndex, int d, int32_t pass, int32_t mark);
