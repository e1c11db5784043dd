#include "screens/common/terrain_defence.h"

#include <algorithm>

#include "records/hex_cell.h"
#include "screens/common/hex_lead_unit.h"
#include "world/record_helpers.h"
#include "world/terrain_flags.h"
#include "world/world.h"

float DefenceFactor(int32_t coverTenths) {
  const float factor = static_cast<float>(coverTenths) / 10.0f;
  return factor < 0.3f ? 1.0f : factor;
}

float TerrainDefenceFactor(const World& world, const HexCell& cell) {
  const TerrainRecord* terrain = TerrainOf(world, cell);
  int32_t cover = terrain ? terrain->bytes[kTerrainGroundDefenceAt] : 0;
  if (const UnitRecord* facility = VisibleUnit(cell)) {
    const size_t index = static_cast<size_t>(facility->classIndex);
    if (index < world.unitClasses.size()) cover = std::max<int32_t>(cover, world.unitClasses[index].defenceValues[3]);
  }
  return DefenceFactor(cover);
}
