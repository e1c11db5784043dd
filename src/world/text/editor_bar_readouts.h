#pragma once
// The texts of the map editor's bar for the selected hex and the hex under
// inspection: each hex's column and row and its terrain's name, as the six
// text fields of the bar show them. Computed from the world alone, so the
// bar only has to put them in place.
#include <cstdint>
#include <string>

struct World;

struct EditorBarReadouts {
  // The selected hex (the game state's current hex), in the fields tagged
  // POPULATION, SIZE and GDP: "Selected Hex :", "X: 005    Y: 000" and
  // "  (Plains)". All empty while no hex is selected (column and row 0).
  std::string population;
  std::string size;
  std::string gdp;
  // The inspected hex (the game state's view hex), in the fields tagged
  // COUNTRY, DATE and TREASURY: "Inspect Hex :", the coordinates and
  // "(Plains)", without the leading blanks. All empty while no hex is set.
  std::string country;
  std::string date;
  std::string treasury;
};

EditorBarReadouts ComputeEditorBarReadouts(const World& world);

// The name of the terrain of the cell at that index: the name field of the
// terrain type in the cell's top byte; empty when the index lies outside the
// map or the type outside the table.
std::string HexTerrainName(const World& world, uint32_t cellIndex);
