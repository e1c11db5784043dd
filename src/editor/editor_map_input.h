#pragma once
// What the map's mouse does in the map editor: the brush applied at the
// selected hex, the panel of the current editor mode, and the direct edit of
// a hex's links. Window thread only.
#include <cstdint>

class Control;
struct HexCell;
struct UnitRecord;
struct World;

// Brush kinds: none (the information modes), terrain and hex attributes, a
// facility class, a unit.
enum EditorBrushKind : int32_t { kBrushNone = -1, kBrushTerrain = 0, kBrushObject = 1, kBrushUnit = 2 };

// Bits of EditorMapState::flags.
inline constexpr uint32_t kEditorEditing = 1u << 0;      // the MAPMODE toggle is down
inline constexpr uint32_t kEditorKeepAttributes = 1u << 1;
inline constexpr uint32_t kEditorKeepTerrain = 1u << 2;  // and no fill
inline constexpr uint32_t kEditorLargeBrush = 1u << 3;   // the hex and its six neighbours
inline constexpr uint32_t kEditorLoadingPanel = 1u << 4; // a panel reads the hex: no writes

// Facility brush values from here on are the two-click link tool; the
// first two are raised by kLinkToolRaise to the class numbers they stand for.
inline constexpr int32_t kLinkToolFirst = 4062;
inline constexpr int32_t kLinkToolRaise = 66;
inline constexpr int32_t kLinkToolClass = kLinkToolFirst + kLinkToolRaise;

struct EditorMapState {
  int32_t mode = 0;  // the command bar's tab, 0 to 9
  int32_t brushKind = kBrushTerrain;
  int32_t brushValue = 0;  // terrain index, facility class, or 0 for units
  uint32_t flags = 0;
  int32_t terrainBrush = 0;  // the terrain the brush writes (its low byte)
  int32_t lastTerrain = 0;   // the terrain last painted
};
extern EditorMapState g_editorMap;

// The screens' side of the brush, installed by the screen set: the map's
// selection words, the link along the selected route, and the word that
// says a two-click tool waits for its second click.
struct EditorScreenLinks {
  void (*setMapSelection)(World& world, int32_t kind) = nullptr;
  void (*linkAlongRoute)(int32_t classIndex) = nullptr;
  int32_t* pendingSelection = nullptr;
  // A unit is about to be freed: no list of the screens may keep it.
  void (*forgetUnit)(const UnitRecord& unit) = nullptr;
  // Shows the class's picture at frame in the control (the unit sheets).
  void (*drawClassPicture)(Control* control, int32_t classIndex, int32_t frame) = nullptr;
};
extern EditorScreenLinks g_editorLinks;

// The cell at a position on the map, (0, 0) included; null off the map.
HexCell* EditorCellAt(World& world, uint32_t position);

// Applies the brush at the game's current hex; drag is 1 while the left
// button is dragged over the map. Returns whether the map should redraw
// (never while editing is off).
bool EditorBrushAtHex(int32_t drag);
// Stores the editor mode and opens its tool panel.
void OpenEditorModePanel(int32_t mode);
// Links the hex towards its neighbour in direction d (0 to 5) for a linked
// class, pass and mark as the editor's caller gives them.
void EditorLinkHex(World& world, uint32_t position, int32_t classIndex, int d, int32_t pass, int32_t mark);
