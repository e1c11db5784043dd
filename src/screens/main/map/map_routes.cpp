#include "screens/main/map/map_routes.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/gfx/renderer.h"
#include "app/gfx/texture.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/path_request.h"
#include "records/unit_record.h"
#include "screens/main/map/map_draw.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/main/map/map_units.h"
#include "screens/main/map/map_view.h"
#include "screens/common/units/unit_lists.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/screen_manager.h"
#include "world/local_player.h"
#include "units/hex_geometry.h"
#include "units/order_cancel.h"
#include "units/paths/path_route.h"
#include "world/unit_class.h"
#include "units/unit_player_fields.h"
#include "world/id_lookups.h"
#include "world/list_holder.h"
#include "world/text/ui_options.h"
#include "world/world.h"

RouteModes g_routeModes;

namespace {

// The bend piece of a route entering by one direction and leaving by
// another (symmetric; the diagonal is never used, straight pieces are).
constexpr int8_t kBend[6][6] = {
    {0, 0, 1, 4, 3, 2},   {0, 1, 5, 8, 7, 6},    {1, 5, 2, 11, 10, 9},
    {4, 8, 11, 3, 14, 13}, {3, 7, 10, 14, 4, 12}, {2, 6, 9, 13, 12, 5},
};
// The first cell of each piece kind in the marker sheet.
constexpr int32_t kPieceRowTop[3] = {768, 896, 640};
constexpr int32_t kPieceCell = 64;
constexpr float kLineHalfWidth = 1.5f;
constexpr uint32_t kFacilityLineColour = 0xB4FFFFFFu;
constexpr uint32_t kHoverLineColour = 0xFFFFFFFFu;
constexpr int32_t kPlotLegs = 7;
constexpr int32_t kPlotLegSteps = 2048;

bool RealDirection(int32_t d) { return d >= 0 && d < 6; }

// A hex's centre plus a unit's offset in it.
void UnitPoint(const UnitRecord& u, float& x, float& y) {
  const Hex c = HexCentre(u.x, u.y);
  x = static_cast<float>(c.x) + u.pixelX;
  y = static_cast<float>(c.y) + u.pixelY;
}
void HexPoint(uint32_t hex, float& x, float& y) {
  const Hex at = UnpackHex(hex);
  const Hex c = HexCentre(at.x, at.y);
  x = static_cast<float>(c.x), y = static_cast<float>(c.y);
}

// The row is in view and the column is, directly or one map width further.
bool StepInView(const MapView& view, uint32_t hex, int32_t columns) {
  const Hex at = UnpackHex(hex);
  if (at.y < view.firstRow || at.y >= view.endRow) return false;
  auto inColumns = [&](int32_t c) { return c >= view.firstColumn && c < view.endColumn; };
  return inColumns(at.x) || inColumns(at.x + columns);
}

// The local player's own units and those of players sharing their sight
// with it.
bool RoutesShownFor(int owner) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (LocalPlayerIndex(g_world) < 0) return false;
  const int local = g_world.gameState.localPlayer;
  if (owner == local) return true;
  return ((unitfields::SharedSightMask(g_world.players[owner & 31]) >> local) & 1u) != 0;
}

uint32_t PackedOf(const HexPosition& p) { return PackHex(p.x, p.y); }

void DrawUnitRouteLine(const MapView& view, const UnitRecord& u) {
  const uint32_t destination = u.ordersShown[kDestination];
  if (destination == 0 || !(u.ordersShown[kOrdersWord] & 0x7F0000u)) return;
  const uint32_t colour = g_uiOptions.pathcolordim[u.kind & 3];
  float ax, ay, bx, by;
  UnitPoint(u, ax, ay);
  const PathRequest* route = u.route.get();
  if (route && !(route->flags & kRouteNoPath) && PickFieldByFlag(*route) == destination) {
    if (route->current == MakeHexPos(u.x, u.y)) {
      DrawUnitRoute(view, *route, colour, 2);
      return;
    }
    HexPoint(PickFieldByFlag(*route), bx, by);
  } else {
    HexPoint(destination, bx, by);
  }
  DrawRouteLine(view, ax, ay, bx, by, colour);
}

template <class Fn>
void ForSelectedUnits(Fn fn) {
  plat::CriticalSectionLock lock(g_simulationLock);
  ListNode* first = g_screens.SelectionList().first;
  if (!first) return;
  ListNode* n = first;
  do {
    auto* item = static_cast<ListItem28*>(n);
    if (UnitRecord* unit = RefUnit(g_world, *item)) fn(*unit);
    n = n->next();
  } while (n && n != first);
}

}  // namespace

int32_t RouteBend(int32_t entry, int32_t exit) {
  return RealDirection(entry) && RealDirection(exit) ? kBend[entry][exit] : -1;
}

plat::Rect RoutePieceCell(int32_t kind, int32_t entry, int32_t exit) {
  int32_t index = entry;
  bool bend = false;
  if (!RealDirection(entry)) {
    index = RealDirection(exit) ? exit : 0;
  } else if (RealDirection(exit) && exit != entry) {
    index = kBend[entry][exit];
    bend = true;
  }
  const int32_t left = index * kPieceCell;
  const int32_t top = kPieceRowTop[kind >= 0 && kind < 3 ? kind : 0] + (bend ? kPieceCell : 0);
  return {left, top, left + kPieceCell, top + kPieceCell};
}

bool RouteLineQuad(const MapView& view, float ax, float ay, float bx, float by, SpritePoint corners[4]) {
  if (view.wraps && view.mapWidth > 0) {
    const float width = static_cast<float>(view.mapWidth);
    const float half = width / 2.0f;
    if (bx - ax > half)
      ax += width;
    else if (bx - ax < -half)
      bx += width;
    else if (bx < static_cast<float>(view.panX))
      ax += width, bx += width;
  }
  auto toScreen = [&](float& x, float& y) {
    x = (x - static_cast<float>(view.panX)) / view.zoom + static_cast<float>(view.viewLeft);
    y = (y - static_cast<float>(view.panY)) / view.zoom + static_cast<float>(view.viewTop);
  };
  toScreen(ax, ay);
  toScreen(bx, by);
  const float dx = bx - ax, dy = by - ay;
  const float length = std::sqrt(dx * dx + dy * dy);
  if (length == 0.0f) return false;
  const float h = view.zoom < 1.0f ? kLineHalfWidth / view.zoom : kLineHalfWidth;
  const float nx = dy * h / length, ny = -dx * h / length;
  // The sprite batch's order: top-left, bottom-right, bottom-left, top-right;
  // the texture runs from A to B along the line.
  corners[0] = {ax - nx, ay - ny};
  corners[1] = {bx + nx, by + ny};
  corners[2] = {ax + nx, ay + ny};
  corners[3] = {bx - nx, by - ny};
  return true;
}

void DrawRouteLine(const MapView& view, float ax, float ay, float bx, float by, uint32_t colour) {
  SpritePoint corners[4];
  if (!RouteLineQuad(view, ax, ay, bx, by, corners)) return;
  QueueSpriteQuad(g_renderer, g_ui.bitmaps.line, corners, 1.0f, 0, 0, colour, nullptr, kFilterModeLinear, nullptr,
                  nullptr);
}

void DrawRouteStepHex(int32_t kind, int32_t entry, int32_t exit, const MapView& view, uint32_t hex, int32_t, int32_t,
                      uint32_t colour) {
  if (hex == 0) return;
  const Hex at = UnpackHex(hex);
  const plat::Rect cell = RoutePieceCell(kind, entry, exit);
  const float x = static_cast<float>(at.x * kHexColumnWidth - 3 + WrappedCopyOffset(view, at.x));
  const float y = static_cast<float>(at.y * kHexHeight - ((at.x & 1) ? 4 : 15));
  DrawMapSprite(view, g_ui.bitmaps.ugbits, &cell, x, y, 30.0f, 30.0f, colour, nullptr, 0.3f);
}

void DrawUnitRoute(const MapView& view, const PathRequest& route, uint32_t colour, int32_t kind) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const int32_t count = static_cast<int32_t>(std::min<size_t>(route.stepCount, route.steps.size()));
  if (count <= 0) return;
  const HexMapShape map = MapShape(g_world);
  int32_t index = route.stepIndex;
  uint32_t at = route.current;
  int32_t entry = kNoRouteDirection;
  while (index >= 0 && index < count && at != 0) {
    int32_t d = route.steps[static_cast<size_t>(index)] & 7;
    if (route.flags & kRouteOppositeSteps) d = 5 - d;
    if (!RealDirection(d)) break;
    if (StepInView(view, at, map.width)) DrawRouteStepHex(kind, entry, d, view, at, -1, 1, colour);
    entry = 5 - d;
    at = HexNeighbour(map, at, d);
    index += (route.flags & kRouteStepsBackward) ? -1 : 1;
  }
  if (at != 0 && StepInView(view, at, map.width)) DrawRouteStepHex(kind, entry, entry, view, at, -1, 1, colour);
}

void DrawPlannedRoute(const MapView& view, int32_t draw) {
  plat::CriticalSectionLock lock(g_simulationLock);
  RouteModes& m = g_routeModes;
  const HexMapShape map = MapShape(g_world);
  const uint32_t hover = PackedOf(g_world.gameState.viewHex);
  const uint32_t colour = g_uiOptions.pathcolor[m.plotStepCounter < 6 ? 0 : 1];
  int32_t recorded = 0;
  for (int32_t leg = 0; leg < kPlotLegs; ++leg) {
    if (m.plotPoints[leg] == 0 || m.plotPoints[leg + 1] == 0) break;
    // The last leg's end follows the mouse.
    if (m.plotting && hover != 0 && (leg == kPlotLegs - 1 || m.plotPoints[leg + 2] == 0))
      m.plotPoints[leg + 1] = hover;
    const uint32_t start = m.plotPoints[leg], end = m.plotPoints[leg + 1];
    const Hex goal = UnpackHex(end);
    uint32_t at = start;
    int32_t entry = kNoRouteDirection;
    for (int32_t step = 0; step < kPlotLegSteps && at != end; ++step) {
      const Hex cur = UnpackHex(at);
      const int32_t v = (cur.x & 1) - goal.y + cur.y;
      int32_t dx = cur.x - goal.x;
      if (map.wraps && map.width > 0) {
        if (dx > map.width / 2) dx -= map.width;
        if (dx < -(map.width / 2)) dx += map.width;
      }
      int32_t d = v < 1 ? 4 : 1;
      if (std::abs(dx) > std::abs(v / 2)) d = dx < 1 ? d + 1 : d - 1;
      const uint32_t next = HexNeighbour(map, at, d);
      if (next == 0) break;
      if (recorded < static_cast<int32_t>(sizeof m.plotSteps)) m.plotSteps[recorded++] = static_cast<uint8_t>(d);
      if (draw && m.plotPieceKind < 3 && StepInView(view, at, map.width))
        DrawRouteStepHex(m.plotPieceKind, entry, d, view, at, -1, 1, colour);
      entry = 5 - d;
      at = next;
    }
    if (draw && m.plotPieceKind < 3 && StepInView(view, at, map.width))
      DrawRouteStepHex(m.plotPieceKind, entry, entry, view, at, -1, 1, colour);
  }
  m.plotStepsRecorded = recorded;
}

void DrawUnitRoutes(const MapView& view) {
  plat::CriticalSectionLock lock(g_simulationLock);
  RouteModes& m = g_routeModes;
  if (m.plotting) DrawPlannedRoute(view, 1);

  if (!g_uiOptions.bunitallpath) {
    if (m.showSelectedRoutes) ForSelectedUnits([&](const UnitRecord& u) { DrawUnitRouteLine(view, u); });
  } else if (UnitRecord* first = g_world.units) {
    const UnitRecord* u = first;
    do {
      if (IsUnitLive(*u) && u->carrier == 0 && !(u->ordersShown[kPostureBits] & kPostureInReserve) &&
          RoutesShownFor(u->owner))
        DrawUnitRouteLine(view, *u);
      u = u->next;
    } while (u && u != first);
  }

  const uint32_t target = m.targetIsHover ? PackedOf(g_world.gameState.viewHex) : PackedOf(g_world.gameState.currentHex);
  if (m.orderTarget && target != 0) {
    float bx, by;
    HexPoint(target, bx, by);
    ForSelectedUnits([&](const UnitRecord& u) {
      plat::CriticalSectionLock lock(g_simulationLock);
      const UnitRecord* from = &u;
      if (u.carrier != 0)
        if (const UnitRecord* c = FindUnitById(g_world, u.carrier)) from = c;
      float ax, ay;
      UnitPoint(*from, ax, ay);
      DrawRouteLine(view, ax, ay, bx, by, g_uiOptions.pathcolor[u.kind & 3]);
    });
  } else if (m.lineToHover && m.lineOrigin != 0 && PackedOf(g_world.gameState.viewHex) != 0) {
    float ax, ay, bx, by;
    HexPoint(m.lineOrigin, ax, ay);
    HexPoint(PackedOf(g_world.gameState.viewHex), bx, by);
    DrawRouteLine(view, ax, ay, bx, by, kHoverLineColour);
  }

  const uint32_t selected = PackedOf(g_world.gameState.currentHex);
  const HexCell* cell = selected ? MapCell(g_world, selected) : nullptr;
  const PlayerRecord* local = LocalPlayer(g_world);
  if (cell && cell->stack && local) {
    const int owner = CellOwner(cell->word);
    const UnitRecord* f = cell->stack->lead;
    const uint32_t sharing = unitfields::SharedSightMask(*local);
    if ((owner == LocalPlayerIndex(g_world) || ((sharing >> owner) & 1u)) && f && IsUnitLive(*f) &&
        !(f->unitFlags & kUnitProvisional) && f->ordersShown[kDestination] != 0) {
      float ax, ay, bx, by;
      HexPoint(selected, ax, ay);
      HexPoint(f->ordersShown[kDestination], bx, by);
      DrawRouteLine(view, ax, ay, bx, by, kFacilityLineColour);
    }
  }
}
