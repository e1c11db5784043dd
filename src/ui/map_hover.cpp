#include "ui/map_hover.h"

#include "world/object_hex.h"

MapHoverState g_mapHover;

void InstallMapHoverHooks() {
  ObjectHexHooks& hooks = g_objectHexHooks;
  hooks.cleared = [] { g_mapHover = MapHoverState{}; };
  hooks.currentHexSet = [](const HexCell* cell, int32_t leadClass) {
    g_mapHover.cell = cell;
    g_mapHover.leadClass = leadClass;
  };
  hooks.currentCellSet = [](const HexCell* cell) { g_mapHover.cell = cell; };
  hooks.viewHexSet = [](const HexCell* cell) { g_mapHover.viewCell = cell; };
}
