#pragma once
// What a move from one hex into its neighbour costs a unit of a movement
// mode: the terrain of the hex being left, lowered by what stands or is
// built there (the lead facility, the crossing mark, the works slots), plus
// optionally a step cost from the hex's level. The hex being entered only has
// to be passable. 0 refuses the move.
#include <cstddef>
#include <cstdint>

#include "records/hex_cell.h"
#include "world/data_tables.h"
#include "world/terrain_flags.h"
#include "records/le_bytes.h"
#include "records/player_record.h"

struct World;
struct HexMapShape;

// The fixed classes of the crossing mark and the two kinds of works slot.
inline constexpr int kCrossingMarkClass = 4127;
inline constexpr int kWorksClassA = 4128;
inline constexpr int kWorksClassB = 4129;

inline constexpr int kSeaMode = 5;

// The movement cost a facility or works of the class gives its hex is its
// hexMoveCost for movement types 0 to 4, its hexSeaMoveCost for type 5.

// A region's access grants by kind (0 land: movement types 0-4, 1 air: 6
// and 7, 2 sea: 5): bit p lets units enter player p's hexes. Record bytes
// 10016, 10020, 10024, in the simulation settings.
uint32_t PlayerAccessMask(const PlayerRecord& record, int kind);
// Bit p: a move from this region's hex into player p's was refused (record
// byte 14468).
uint32_t BorderAttemptMask(const PlayerRecord& record);
void NoteBorderAttempt(PlayerRecord& record, int player);

// The access kind of a movement mode: 2 sea (5), 1 air (above 5), 0 land.
inline int AccessKind(int mode) { return mode == kSeaMode ? 2 : (mode > kSeaMode ? 1 : 0); }

// The step cost of a hex's level byte: 5 at level 0, 3 up to 7, 2 up to 63,
// 1 up to 127, 0 above.
uint8_t StepCostByLevel(uint8_t level);

// The cost a class gives movement mode m (below 5, or 4): byte 98 for m = 4,
// and for m below 4 unless the class has the no-terrain-cost flag; else 0.
uint32_t ClassMoveCost(const UnitClassRecord* cls, int m);

// The entry right: the owner of the hex entered must be in ownerMask (bit 0
// added for modes above 5 entering water). A refusal notes the entered
// hex's owner in the border-attempt mask of the left hex's owner.
bool MayEnterHex(World& world, uint32_t ownerMask, int mode, const HexCell& from, const HexCell& to);

// The cost of crossing from a hex into its neighbour in direction d for
// movement mode m, without the entry right and without a level cost: the
// cost of the hex being left, or the crossing mark's when that is nothing
// (which may be 0); kRefused when the hex entered is impassable to the mode.
inline constexpr int32_t kRefused = -1;
int32_t CrossingCost(World& world, int mode, bool useAltCost, const HexCell& from, const HexCell& to, int d);

// The level step cost of leaving a hex for a mover (its own hexes, hexes it
// has access to and open water cost by level; others cost the most).
uint32_t LevelStepCost(const World& world, int mode, int mover, const HexCell& from, uint8_t level);

struct MoveRules {
  int mode = 0;                // the class's movement type
  uint32_t ownerMask = 0;      // bit p: player p's hexes may be entered
  bool useAltCost = false;     // amphibious: the terrain's column 2 may serve
  bool levelCost = false;      // charge the level step cost
  int mover = 0;               // the moving unit's owner
};

// The whole rule for a move between two neighbouring positions; 0 refuses.
uint32_t MoveCost(World& world, const HexMapShape& map, const MoveRules& rules, uint32_t from, uint32_t to, int d);

// MoveCost in two halves for a search that tries every move out of a hex:
// what the hex being left decides on its own, worked out once, then each
// move out of it. MoveCostFrom(LeaveHex(a), b, d) is MoveCost(a, b, d) for
// two cells of the world, the border notes included. LeaveHex sets every
// member it is asked for, so one LeavingHex serves hex after hex.
struct LeavingHex {
  const HexCell* cell = nullptr;
  uint32_t column = 0;        // its own column for the mode
  uint32_t cost = 0;          // the cost of leaving before works, by its own column
  uint32_t altCost = 0;       // the same when the amphibious column joins it
  uint32_t markCost = 0;      // the crossing mark's, paid when nothing else is
  uint32_t level = 0;         // the level step cost, when charged
  uint32_t worksCost[6] = {};  // by direction: the works leading that way (kept only when it has any)
  bool hasWorks = false;
  uint32_t least = 1;  // no allowed move out of it costs less (at least 1)
};
void LeaveHex(World& world, const MoveRules& rules, const HexCell& from, size_t index, LeavingHex& leave);
uint32_t MoveCostFrom(World& world, const MoveRules& rules, const LeavingHex& from, const HexCell& to, int d);
// The hex's owner is in the mask: the move is let in without a border note.
inline bool OwnerAdmits(const MoveRules& rules, const HexCell& to) {
  return (rules.ownerMask >> CellOwner(to.word)) & 1u;
}
