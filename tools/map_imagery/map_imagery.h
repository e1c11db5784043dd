#pragma once
// Paints a map's background picture from its terrain: every hex gets its
// terrain's square of the terrain sheet at its tile box, in the order the
// game's terrain layer draws them, over the game's map background colour,
// one picture pixel to a map pixel.
#include <cstdint>
#include <string>
#include <vector>

struct World;

namespace map_imagery {

struct Picture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;  // 0xAARRGGBB, rows top to bottom
};

// The world's map painted from the sheet (width x height texels). A map
// that wraps continues its hexes across the east and west edges.
Picture PaintMapPicture(const World& world, const uint32_t* sheet, int32_t sheetWidth, int32_t sheetHeight);

// Reads the named map and its terrain file under the data root, paints it
// from "GRAPHICS\TBITS.PNG" and writes "MAPS\Imagery\" + the map's imagery
// name + ".PNG". False with the reason when anything fails.
bool WriteMapPicture(const std::string& mapName, std::string& error);

}  // namespace map_imagery
