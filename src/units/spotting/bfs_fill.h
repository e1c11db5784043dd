#pragma once
// The breadth-first fill shared by the range map, the spotting map and the
// sighting of units: a label-correcting relaxation over a small ring of hex
// positions that keeps only the frontier. One global block holds its state;
// no two fills run at once (the turn thread, or the editor when no turn
// runs).
#include <cstddef>
#include <cstdint>
#include <vector>

struct World;
struct HexMapShape;

struct BfsFillBlock {
  std::vector<uint32_t> queue;  // queueCapacity + 1 hex positions
  int32_t queueCapacity = 0;
  int32_t head = 0;  // the ring is empty when head equals tail
  int32_t tail = 0;
  // The movement mode whose costs the fill spends (0 and above), or -1
  // (a step into covered or high ground or onto a fortification costs 2,
  // others 1) or -2 (every step costs 1).
  int32_t mode = 0;
  uint32_t ownerMask = 0;      // players whose hexes the fill may enter
  int32_t respectBorders = 0;  // crossing into another owner's hex needs its grant
  int32_t useAltCost = 0;      // the terrain's column 2 may serve
  int32_t stepLimit = 0;       // queue entries to take before stopping; 0 none
  int32_t budget = 0;          // the seed's value; 0 accumulates costs instead
  int32_t costMultiplier = 1;  // per move, with a budget
  uint16_t* rangeMap = nullptr;  // the work map, one value a cell
  size_t rangeMapCells = 0;
  int32_t box[4] = {};  // left, top, right, bottom: what a user clears and scans
  // Mode -1's cost into each cell as one BfsFill call found it, kept as
  // that call's stamp plus the cost (1 or 2): a cell entered from several
  // sides is looked at once, and the next call finds every entry stale.
  std::vector<uint32_t> plainCosts;
  uint32_t plainStamp = 0;  // a multiple of 4
};

extern BfsFillBlock g_bfsFill;

// Makes the ring and the world's range map fit its map when they do not:
// a ring of truncate(sqrt(cells) x 10) + 1 zeroed slots and one zeroed value
// a cell.
void EnsureFillBuffers(World& world, BfsFillBlock& block);

// Starts a fill at a position: the ring holds just the seed, whose value
// becomes the budget (1 without one; a budget beyond the map's 16 bits
// counts as the largest value).
void BfsSeed(BfsFillBlock& block, const HexMapShape& map, uint32_t seed);

// What the fill pays to move from a into its neighbour b in direction d,
// 0 when it may not.
uint32_t FillMoveCost(World& world, const BfsFillBlock& block, const HexMapShape& map, uint32_t a, uint32_t b, int d);

// Runs the fill on the block's settings from the ring as seeded. A hex that
// finds the ring full keeps its new value unqueued and the thread yields.
void BfsFill(World& world, BfsFillBlock& block);
