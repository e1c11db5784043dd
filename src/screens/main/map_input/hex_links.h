#pragma once
// Laying a linked facility (a road, a rail line) along a route of hexes:
// each step links a hex to its neighbour in both directions. Window thread.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"

inline constexpr int kRoutePairs = 7;

// The map's selection words: the route being laid, as waypoint pairs
// (packed start and end hexes; a pair with a (0, 0) start or end ends it;
// while shown, the last pair ends at the selected hex), or the selected
// units' hex as the first pair.
struct MapRoute {
  uint32_t start[kRoutePairs] = {};
  uint32_t end[kRoutePairs] = {};
  int32_t shown = 0;
  int32_t kind = 0;        // the linked class less 4128; 2 for selected units
  int32_t editIndex = 0;   // the pair being edited, -1 for none
};
extern MapRoute g_mapRoute;

// The direction (0 up-left, 1 up, 2 up-right, 3 down-left, 4 down, 5
// down-right) of the step from (x, y) towards (tx, ty) on a map of the
// width, wrapping or not.
int LinkStepDirection(int32_t x, int32_t y, int32_t tx, int32_t ty, int32_t width, bool wraps);

// Links neighbouring hexes of the class along the route, in a game by
// posting the link commands for both hexes of each step, in the editor by
// editing them with the two words. Nothing unless the route was started.
void LinkHexesAlongRoute(ScreenSet& screens, int32_t classIndex, int32_t word1, int32_t word2);
