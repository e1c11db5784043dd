#pragma once
// The route layer of the map: the planned route being plotted, the route
// lines of the local side's moving units, the lines from the selection to
// an order's target and the line to the selected facility's destination.
// Route pieces are cells of the marker sheet laid on hexes; lines are quads
// of the line texture.
#include <cstdint>

#include "app/gfx/sprite_batch.h"
#include "screens/common/screen_types_fwd.h"

struct PathRequest;

// Interface modes the route layer reads; the screens that own them set
// them (all off until then).
struct RouteModes {
  int32_t showSelectedRoutes = 0;  // the selection's routes with bunitallpath off
  int32_t orderTarget = 0;         // lines from the selection to the target hex
  int32_t targetIsHover = 0;       // the target is the hover hex, else the selected hex
  int32_t lineToHover = 0;         // one line from the origin to the hover hex
  uint32_t lineOrigin = 0;
  // Route plotting: up to eight points (seven legs; 0 is no point), the
  // piece kind, the plotting screen's step counter and the steps the last
  // walk recorded.
  int32_t plotting = 0;
  uint32_t plotPoints[8] = {};
  int32_t plotPieceKind = 0;
  int32_t plotStepCounter = 0;
  int32_t plotStepsRecorded = 0;
  uint8_t plotSteps[2048 * 7] = {};
};
extern RouteModes g_routeModes;

inline constexpr int32_t kNoRouteDirection = 6;

// The piece of a route through a hex entered from `entry` and left by
// `exit` (0 to 5, 6 none): its cell in the marker sheet for a piece kind
// (0 and 1 connections, 2 routes).
int32_t RouteBend(int32_t entry, int32_t exit);
plat::Rect RoutePieceCell(int32_t kind, int32_t entry, int32_t exit);

// The four corners (top-left, bottom-right, bottom-left, top-right order of
// the sprite batch) of a line between two map points on the screen, taken
// across the seam of a wrapping map when that is shorter; false for a line
// of no length.
bool RouteLineQuad(const MapView& view, float ax, float ay, float bx, float by, SpritePoint corners[4]);
void DrawRouteLine(const MapView& view, float ax, float ay, float bx, float by, uint32_t colour);

void DrawRouteStepHex(int32_t kind, int32_t entry, int32_t exit, const MapView& view, uint32_t hex, int32_t, int32_t,
                      uint32_t colour);
// The pieces of a unit's route from where it stands to its end.
void DrawUnitRoute(const MapView& view, const PathRequest& route, uint32_t colour, int32_t kind);
// Walks the plotted legs hex by hex, recording the steps, and draws them
// when draw is set.
void DrawPlannedRoute(const MapView& view, int32_t draw);
// The route layer of the map frame.
void DrawUnitRoutes(const MapView& view);
