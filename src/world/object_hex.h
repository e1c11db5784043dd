#pragma once
// The hexes under attention: the game's current hex and the map view's hex,
// each kept as a position in the game state and published to the map's
// hover state.
#include <cstdint>

struct HexPosition;
struct World;

// Sets the position to (x, y), x wrapped onto the map. The previous cell
// index takes the current one unless the position is already this non-zero
// one. The cell becomes the hover cell, with the class of its visible lead
// unit (0 for none, and for a hidden lead of another player). A row off the
// map publishes no cell.
void SetObjectHex(World& world, int32_t x, int32_t y, HexPosition& position);
// The same for the map view's position; only the view cell is published.
void SetViewObjectHex(World& world, int32_t x, int32_t y, HexPosition& position);
