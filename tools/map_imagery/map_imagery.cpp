#include "map_imagery.h"

#include <algorithm>

#include "platform/image_loader.h"
#include "platform/paths.h"
#include "records/text_field.h"
#include "world/map_file.h"
#include "units/hex_geometry.h"
#include "world/map_imagery.h"
#include "world/terrain_file.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace map_imagery {

namespace {

constexpr int32_t kColumnWidth = 18;
constexpr int32_t kRowHeight = 22;
constexpr int32_t kTile = 30;  // the hex tile box

uint32_t Blend(uint32_t src, uint32_t dst) {
  const uint32_t a = src >> 24;
  if (a == 255) return src;
  if (a == 0) return dst;
  uint32_t out = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t s = (src >> shift) & 0xFFu, d = (dst >> shift) & 0xFFu;
    out |= ((s * a + d * (255 - a)) / 255) << shift;
  }
  return out;
}

}  // namespace

Picture PaintMapPicture(const World& world, const uint32_t* sheet, int32_t sheetWidth, int32_t sheetHeight) {
  Picture picture;
  const int32_t columns = world.mapHeader.width, rows = world.mapHeader.height;
  if (columns <= 0 || rows <= 0) return picture;
  const bool wraps = MapShape(world).wraps;
  picture.width = columns * kColumnWidth;
  picture.height = rows * kRowHeight;
  picture.pixels.assign(static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height),
                        UiOptions{}.mapbackground);
  for (int32_t y = 0; y < rows; ++y) {
    for (int32_t x = 0; x < columns; ++x) {
      const size_t cell = static_cast<size_t>(y) * static_cast<size_t>(columns) + static_cast<size_t>(x);
      if (cell >= world.cells.size()) continue;
      const int terrain = CellTerrain(world.cells[cell].word);
      if (terrain == 0 || static_cast<size_t>(terrain) >= world.terrains.size()) continue;
      const TerrainRecord& t = world.terrains[static_cast<size_t>(terrain)];
      const int32_t tw = t.imageRight - t.imageLeft, th = t.imageBottom - t.imageTop;
      if (tw <= 0 || th <= 0 || t.imageLeft < 0 || t.imageTop < 0 || t.imageRight > sheetWidth ||
          t.imageBottom > sheetHeight)
        continue;
      const int32_t left = x * kColumnWidth - 3, top = y * kRowHeight - ((x & 1) ? 4 : 15);
      for (int32_t j = 0; j < kTile; ++j) {
        const int32_t py = top + j;
        if (py < 0 || py >= picture.height) continue;
        const int32_t sy = t.imageTop + j * th / kTile;
        for (int32_t i = 0; i < kTile; ++i) {
          int32_t px = left + i;
          if (wraps) px = (px + picture.width) % picture.width;
          if (px < 0 || px >= picture.width) continue;
          const int32_t sx = t.imageLeft + i * tw / kTile;
          uint32_t& out = picture.pixels[static_cast<size_t>(py) * static_cast<size_t>(picture.width) +
                                         static_cast<size_t>(px)];
          out = Blend(sheet[static_cast<size_t>(sy) * static_cast<size_t>(sheetWidth) + static_cast<size_t>(sx)], out);
        }
      }
    }
  }
  return picture;
}

bool WriteMapPicture(const std::string& mapName, std::string& error) {
  World& world = g_world;
  if (plat::Failed(ReadMapFile(world, mapName))) {
    error = "the map " + mapName + " cannot be read under " + plat::DataRoot();
    return false;
  }
  const std::string terrainFile = FieldText(world.mapHeader.terrainFileName);
  if (plat::Failed(ReadTerFile(world, terrainFile))) {
    error = "the terrain file " + terrainFile + " cannot be read under " + plat::DataRoot();
    return false;
  }
  plat::DecodedImage sheet;
  if (plat::Failed(plat::DecodeImageFile("GRAPHICS\\TBITS.PNG", &sheet))) {
    error = "GRAPHICS\\TBITS.PNG cannot be read under " + plat::DataRoot();
    return false;
  }
  const Picture picture = PaintMapPicture(world, sheet.pixels.data(), static_cast<int32_t>(sheet.info.width),
                                          static_cast<int32_t>(sheet.info.height));
  std::vector<uint8_t> png;
  const std::string path = MapImageryPath(world.mapHeader);
  if (picture.pixels.empty() ||
      plat::Failed(plat::EncodePng(static_cast<uint32_t>(picture.width), static_cast<uint32_t>(picture.height),
                                   picture.pixels.data(), false, &png)) ||
      !plat::MakeGameDirectories("MAPS\\Imagery") ||
      plat::Failed(plat::WriteFileReplacing(path, png.data(), png.size()))) {
    error = path + " cannot be written under " + plat::DataRoot();
    return false;
  }
  return true;
}

}  // namespace map_imagery
