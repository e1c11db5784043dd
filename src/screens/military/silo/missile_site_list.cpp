#include "screens/military/silo/missile_site_list.h"

#include <cstdint>

#include "screens/common/units/unit_lists.h"
#include "screens/military/inventory/missile_load_lists.h"
#include "sim/simulation_lock.h"
#include "ui/list_control.h"
#include "world/list_holder.h"
#include "world/local_player.h"
#include "world/unit_class.h"
#include "world/world.h"

namespace {

constexpr uint8_t kSiloPlatform = 0x10;
constexpr int32_t kSiloFacility = 2;
constexpr int32_t kProductionFacility = 4;

}  // namespace

bool SiloBasedDesign(const UnitClassRecord& cls) { return (cls.loadableMask & kSiloPlatform) != 0; }

bool FillMissileSiteList(ListBoxControl* list, const UnitClassRecord& cls, int32_t kind) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const bool silo = SiloBasedDesign(cls) || kind == kPlatformSilo;
  if (!list) return silo;
  ListHolder found{};
  CollectFacilitiesAvailableFirst(g_world, CollectFacilityArgs{.resultList = &found,
                                                               .list = list,
                                                               .facilityKind = silo ? -1 : kProductionFacility,
                                                               .owner = LocalPlayerIndex(g_world),
                                                               .facilityType = silo ? kSiloFacility : -1});
  ListHolderClear(found);
  ListLayoutRows(list);
  return silo;
}
