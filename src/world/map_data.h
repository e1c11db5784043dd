#pragma once
// The map in the world: a new blank map, resizing, freeing, and resetting
// what depends on the map's size. LoadNewWorld is declared in world.h.
#include <cstdint>

#include "platform/status.h"

struct World;

// The largest map: columns and rows are stored in 16 bits, and the map must
// fit a file the reader accepts.
inline constexpr int32_t kMaxMapSide = 32767;
inline constexpr int64_t kMaxMapCells = 8 * 1024 * 1024;

// True when width x height is a map the program can make, save and read.
bool IsValidMapSize(int32_t width, int32_t height);

// Keeps the overlap of the old and new sizes at the same column and row;
// cut-off cells go with their labels and stacks. The side arrays are
// dropped and the cell bytes made anew. kInvalidArg for an impossible size.
plat::Status ResizeMap(World& world, int32_t width, int32_t height);

// Frees every cell's label and stack, the cells and the side arrays, and
// zeroes the map's extent.
void FreeMapData(World& world);

// Recomputes the scale, clears the hover state and both hex positions, and
// resets the map view.
void PrepareMapBuffers(World& world);

// The day number of 1 May 2010, the first day of a new map's games.
inline constexpr uint32_t kNewMapStartDay = 2455317;
