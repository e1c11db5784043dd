#include "screens/common/hex_distance.h"

#include "platform/fpenv.h"
#include "units/hex_geometry.h"
#include "world/text/ui_options.h"
#include "world/world.h"

std::string HexDistanceText(const World& world, uint32_t fromPacked, uint32_t toPacked) {
  // Between neighbouring columns rows meet half a hex apart, so the
  // distance is counted in halves (it always comes out whole).
  const int32_t d = HexDistance(MapShape(world), fromPacked, toPacked);
  char text[48];
  if (g_uiOptions.bdistancehexes) {
    plat::FormatText(text, sizeof text, "%4.1f Hexes", static_cast<double>(d));
  } else {
    const float km = static_cast<float>(d) * static_cast<float>(world.mapHeader.hexScale);
    plat::FormatText(text, sizeof text, "%4.1f km", static_cast<double>(km));
  }
  return text;
}
