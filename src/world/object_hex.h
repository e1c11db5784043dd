#pragma once
// The hexes under attention: the game's current hex and the map view's hex,
// each kept as a position in the game state and published to the interface,
// whose map view keeps the cells they name (its hover state).
#include <cstdint>

struct HexCell;
struct HexPosition;
struct World;

// Where the positions reach the interface. It installs these at start-up;
// without them (the headless runner, tests) nothing is kept.
struct ObjectHexHooks {
  // Both positions were cleared with the map or the game: no cells, class 0.
  void (*cleared)() = nullptr;
  // The current hex was set: its cell (null off the map) and the class of
  // its visible lead unit.
  void (*currentHexSet)(const HexCell* cell, int32_t leadClass) = nullptr;
  // Log-on names the current cell alone; the lead's class stays as it was.
  void (*currentCellSet)(const HexCell* cell) = nullptr;
  // The map view's hex was set: its cell, null off the map.
  void (*viewHexSet)(const HexCell* cell) = nullptr;
};

extern ObjectHexHooks g_objectHexHooks;

// The class of the cell's visible lead unit: 0 for none, for a removed one,
// and for another player's hidden one.
int32_t VisibleLeadClass(const World& world, const HexCell* cell);

// Sets the position to (x, y), x wrapped onto the map. The previous cell
// index takes the current one unless the position is already this non-zero
// one. The cell becomes the hover cell, with the class of its visible lead
// unit (0 for none, and for a hidden lead of another player). A row off the
// map publishes no cell.
void SetObjectHex(World& world, int32_t x, int32_t y, HexPosition& position);
// The same for the map view's position; only the view cell is published.
void SetViewObjectHex(World& world, int32_t x, int32_t y, HexPosition& position);

// Publishes that both positions were cleared, or the current cell alone.
void PublishObjectHexesCleared();
void PublishCurrentCell(const HexCell* cell);
