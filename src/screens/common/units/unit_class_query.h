#pragma once
// The unit classes a player may have, as the lists of the military load
// panels, a deal's unit items and the editor's class lists choose them.
// Call under the simulation lock.
#include <cstdint>
#include <vector>

struct World;

// What a class list asks beyond the player, the carriers and the weight;
// the defaults are the platform lists' question.
inline constexpr int32_t kEveryClassType = -2;  // no type test at all
struct UnitClassQuery {
  int32_t category = -1;               // domain, or platform category of a stock class; -1 any
  int32_t levelCap = 255;              // classes of a higher tech level are left out
  int32_t typeFilter = kEveryClassType;  // the class type byte; -1 every class that is no stock class
  int32_t statistic = -1;              // sort key (UnitClassStat), highest first, ties in index order; -1 none
  int32_t designState = 1;             // UnitClassAvailable's availability mode
  bool checkSuccessor = true;          // classes replaced by an available successor are left out
  int32_t cargoKind = 0;               // 0 any warhead, 1 conventional only, 2 special only
};
// The indices of the classes available to the player that are no fixed
// installations, may be carried by the mask's categories (any when 0) and
// have room for the weight, in index order unless the query sorts them.
void CollectUnitClasses(const World& world, int32_t player, uint32_t carrierMask, int32_t weight,
                        std::vector<int32_t>& out, const UnitClassQuery& query = {});
