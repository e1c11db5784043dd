#pragma once
// The map view's hover state: the cell under attention, the class of its
// visible lead unit and the map view's own cell. The world publishes them as
// it sets and clears its hex positions; the interface keeps them here.
#include <cstdint>

struct HexCell;

struct MapHoverState {
  const HexCell* cell = nullptr;
  const HexCell* viewCell = nullptr;
  int32_t leadClass = 0;
};

extern MapHoverState g_mapHover;

// Points the world's object-hex hooks at g_mapHover (start-up).
void InstallMapHoverHooks();
