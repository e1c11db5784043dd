#include "screens/main/map_input/hex_links.h"

#include <cstdlib>

#include "editor/editor_map_input.h"
#include "screens/common/frame/map_selection.h"
#include "records/command_ids.h"
#include "sim/facility_command_args.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "ui/screen_manager.h"
#include "units/hex_geometry.h"
#include "world/world.h"

MapRoute g_mapRoute;

int LinkStepDirection(int32_t x, int32_t y, int32_t tx, int32_t ty, int32_t width, bool wraps) {
  const int32_t dy = y - ty + (x & 1);
  int32_t dx = x - tx;
  if (wraps && width > 0) {
    if (dx > width / 2) dx -= width;
    if (dx < -(width / 2)) dx += width;
  }
  int d = dy >= 1 ? 1 : 4;
  if (std::abs(dx) > std::abs(dy / 2)) d += dx > 0 ? -1 : 1;
  return d;
}

void LinkHexesAlongRoute(ScreenSet&, int32_t classIndex, int32_t word1, int32_t word2) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  const HexPosition& selected = w.gameState.currentHex;
  const uint32_t selectedHex = MakeHexPos(selected.x, selected.y);
  if (!g_mapPlacement.routeStarted || (g_mapRoute.shown && selectedHex == kNoHexPosition)) return;
  const HexMapShape shape = MapShape(w);
  const bool inGame = g_ui.mode == kUiInGame;
  for (int pair = 0; pair < kRoutePairs; ++pair) {
    const bool last = pair + 1 == kRoutePairs || g_mapRoute.start[pair + 1] == kNoHexPosition ||
                      g_mapRoute.end[pair + 1] == kNoHexPosition;
    if (g_mapRoute.shown && last) g_mapRoute.end[pair] = selectedHex;
    uint32_t at = g_mapRoute.start[pair];
    const uint32_t to = g_mapRoute.end[pair];
    if (at == kNoHexPosition || to == kNoHexPosition) break;
    // Every step comes nearer; the bound only guards against a target off
    // the map, which no step reaches.
    for (int32_t steps = 2 * (shape.width + shape.height); at != to && steps > 0; --steps) {
      const int d = LinkStepDirection(HexX(at), HexY(at), HexX(to), HexY(to), shape.width, shape.wraps);
      const uint32_t next = HexNeighbour(shape, at, d);
      if (next == kNoHexPosition) break;
      if (inGame) {
        const auto link = static_cast<uint32_t>(classIndex);
        PostArgs(kCmdHexStack289, HexLinkArgs{.hex = at, .classIndex = link, .direction = static_cast<uint32_t>(d)});
        PostArgs(kCmdHexStack289, HexLinkArgs{.hex = next,
                                              .classIndex = link,
                                              .direction = static_cast<uint32_t>(OppositeDirection(d))});
      } else {
        EditorLinkHex(w, at, classIndex, d, word1, word2);
        EditorLinkHex(w, next, classIndex, OppositeDirection(d), word1, word2);
      }
      at = next;
    }
    if (last) break;
  }
}
