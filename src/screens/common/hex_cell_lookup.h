#pragma once
// The cell behind one of the hex positions the game state keeps (the
// selected hex, the hex under the pointer), as the panels read it.
struct HexCell;
struct HexPosition;
struct World;

// None for the cleared position (0, 0) or an index past the map's cells.
const HexCell* CellAtPosition(const World& world, const HexPosition& hex);
// The selected hex's cell.
const HexCell* SelectedCell(const World& world);
