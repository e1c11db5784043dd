#pragma once
// The eight area tags drawn on the map, counted: each tag's hexes, the
// people on them and its first hex. The tags themselves live only in the
// map's cells (records/hex_cell.h); these figures are counted from them
// again after every change and never written otherwise.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"

inline constexpr int32_t kAreaTagCount = 8;

struct AreaTagRecord {
  uint32_t hexCount;
  float population;  // the hexes' people weights
  uint16_t firstColumn;  // the first tagged hex, row by row; (0, 0) when empty
  uint16_t firstRow;
};
static_assert(sizeof(AreaTagRecord) == 12);

struct HexAreaTable {
  AreaTagRecord tags[kAreaTagCount] = {};
};

// The first hex packed, column low and row high.
inline uint32_t PackedFirstHex(const AreaTagRecord& r) {
  return r.firstColumn | static_cast<uint32_t>(r.firstRow) << 16;
}

// Counts every tag of g_world's map again into the set's table: one pass
// over the cells, under the simulation lock.
void RecountHexAreas(ScreenSet& screens);
// Empties a tag (0 to 7) on the whole map; the other tags stay.
void ClearHexTagBit(ScreenSet& screens, int32_t tag);
// Installs the recount and the showing of a received offer's tag in the
// offer reader's links, and the clearing of the map's tag overlay.
void InstallAreaTagHooks();
