#include "screens/common/units/unit_class_query.h"

#include <algorithm>
#include <utility>

#include "units/unit_queries.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

void CollectUnitClasses(const World& world, int32_t player, uint32_t carrierMask, int32_t weight,
                        std::vector<int32_t>& out, const UnitClassQuery& query) {
  out.clear();
  std::vector<std::pair<float, int32_t>> keyed;
  for (size_t i = 1; i < world.unitClasses.size(); ++i) {
    const UnitClassRecord& c = world.unitClasses[i];
    if (query.typeFilter >= 0 && c.typeByte != query.typeFilter) continue;
    if (query.typeFilter == -1 && (c.flags & kClassStock)) continue;
    const auto index = static_cast<int32_t>(i);
    if (!UnitClassAvailable(world, index, query.category, query.levelCap, player, query.checkSuccessor,
                            query.designState, nullptr, query.cargoKind, weight, carrierMask))
      continue;
    const float key = query.statistic >= 0 ? UnitClassStat(world, index, query.statistic) : 0.0f;
    keyed.emplace_back(key, index);
  }
  std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  for (const auto& k : keyed) out.push_back(k.second);
}
