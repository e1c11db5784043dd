#pragma once
// The hex path search: a best-first search from one hex to another over a
// bucketed open list, charging every move what MoveCost says, capped in
// expansions, ending as soon as the goal is generated. A search that cannot
// reach its goal still gives the way to the hex nearest to it, ending with
// a no-move step. Runs on the turn thread under the simulation lock only.
#include <cstdint>
#include <vector>

struct World;

// Flags of the search block.
inline constexpr uint32_t kSearchStepsBack = 0x2;  // the way is stored goal-first, as back directions
inline constexpr uint32_t kSearchLevelCost = 0x4;  // charge the level step cost

struct PathSearchBlock {
  // Arguments, filled before each search.
  uint32_t from = 0;  // start position
  uint32_t to = 0;    // goal position
  uint32_t flags = 0;
  int moveMode = 0;         // the class's movement type
  uint32_t ownerMask = 0;   // bit p: player p's hexes may be entered
  bool useAltCost = false;  // amphibious: the terrain's column 2 may serve
  int32_t heuristicWeight = 1;
  int mover = 0;  // the moving unit's owner

  // Results.
  int32_t distance = 0;
  int32_t expansions = 0;      // nodes the last search expanded
  std::vector<uint8_t> steps;  // the way, goal-first, one direction a byte
  uint32_t stepCount() const { return static_cast<uint32_t>(steps.size()); }

  // Working state, kept between searches so that they allocate nothing once
  // warmed up. The lowest cost found per cell is 32 bits wide: a 16-bit
  // entry would wrap on a long dear way and prune cheaper arrivals.
  struct Node {
    uint32_t g;
    int32_t parent;  // -1 for the start
    uint8_t back;    // direction towards the parent's hex, 6 for the start
    uint32_t position;
    int32_t next;  // in its bucket's unsorted arrivals
  };
  // The open list's buckets, one per key, in ascending key order.
  struct Bucket {
    uint32_t key;
    int32_t head;  // arrivals not yet sorted (node)
    int32_t next;  // bucket
  };
  std::vector<uint32_t> costMap;
  std::vector<uint32_t> heuristicMap;  // per cell, valid where costMap is set
  std::vector<Node> nodes;
  std::vector<Bucket> buckets;
  std::vector<int32_t> bucketByKey;  // the open bucket of a key, -1 for none
  // The first bucket's nodes in pop order from the back, as g and node in
  // one word, and the room its sort works in.
  std::vector<uint64_t> sorted;
  std::vector<uint64_t> sortSpare;
  std::vector<uint32_t> sortStarts;
};

// The world's search block (made on first use).
PathSearchBlock& WorldPathSearch(World& world);

// The goal's own cost: its terrain column for the mode, lowered by a
// standing facility, its crossing mark and its active works (whatever their
// ends).
uint32_t GoalBaseCost(World& world, const PathSearchBlock& block, uint32_t goal);

// Searches from block.from to block.to. 1 with the way in block.steps (and
// flags bit 1), 0 when there is none or start and goal are the same hex.
// Always sets distance; may note refused border crossings in the regions'
// border-attempt masks.
int FindPath(World& world, PathSearchBlock& block);
