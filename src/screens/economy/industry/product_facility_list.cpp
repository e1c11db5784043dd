#include "screens/economy/industry/product_facility_list.h"

#include <algorithm>

#include "records/hex_cell.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "screens/common/facilities/site_figures.h"
#include "sim/daily/product_fields.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/list_control.h"
#include "ui/screen.h"
#include "world/list_holder.h"
#include "world/record_helpers.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr float kSummaryThreshold = 1.0f;

const HexCell* CellUnder(const World& world, const UnitRecord& u) {
  if (u.x < 0 || u.y < 0 || u.x >= world.mapWidth || u.y >= world.mapHeight) return nullptr;
  const size_t at = static_cast<size_t>(u.y) * static_cast<size_t>(world.mapWidth) + static_cast<size_t>(u.x);
  return at < world.cells.size() ? &world.cells[at] : nullptr;
}

void AddRow(ListBoxControl* list, Screen& rowTemplate, int32_t value, int32_t product) {
  Control* row = ListAddIconItem(list, &rowTemplate, 0, 0, value, 0, 0, 0);
  if (row) row->tag[0] = static_cast<char>(product);
}

}  // namespace

int32_t ClassProduct(const UnitClassRecord& cls) { return std::max(MainProduct(cls), 0); }

void BuildProductFacilityList(World& world, ListBoxControl* list, int32_t product, Screen& rowTemplate,
                              int32_t* workingCount, int32_t* totalCount, bool withSummaryRows) {
  if (!list) return;
  ListClear(list, 1);
  if (product < 0 || product >= kProductCount) return;
  plat::CriticalSectionLock lock(g_simulationLock);
  const int32_t local = world.gameState.localPlayer;
  if (local < 0 || local >= kMaxPlayers) return;
  const PlayerRecord& region = world.players[local];
  if (withSummaryRows && product::Get(region, product, product::kOutput) > kSummaryThreshold) {
    if (product::Get(region, product, product::kRawOutput) > kSummaryThreshold)
      AddRow(list, rowTemplate, kTerrainOutputRow, product);
    if (product::Get(region, product, product::kCityOutput) > kSummaryThreshold)
      AddRow(list, rowTemplate, kCityOutputRow, product);
  }
  ListHolder sorted{};
  if (UnitRecord* start = world.units) {
    UnitRecord* u = start;
    do {
      const UnitClassRecord* cls = UnitClassOf(world, *u);
      const HexCell* cell = cls && (cls->flags & kClassFacility) ? CellUnder(world, *u) : nullptr;
      const UnitRecord* facility = cell && CellOwner(cell->word) == local ? GetActiveObject(cell, false) : nullptr;
      const UnitClassRecord* type = facility ? UnitClassOf(world, *facility) : nullptr;
      if (type && (type->flags & kClassProduction) && ClassProduct(*type) == product) {
        const float key = static_cast<float>(u->classIndex) * 100.0f + u->strength;
        if (ListItem28* item = NewListNode(u, key, true, 0, sorted)) item->callerWord = static_cast<intptr_t>(u->id);
        if (totalCount) ++*totalCount;
        if (workingCount && !(facility->ordersShown[kPostureBits] & 1u)) ++*workingCount;
      }
      u = u->next;
    } while (u && u != start);
  }
  for (ListItem28* item = FirstInHolder(sorted); item; item = NextInHolder(sorted, item))
    AddRow(list, rowTemplate, static_cast<int32_t>(item->callerWord), product);
  ListHolderClear(sorted);
}
