#include "screens/common/facilities/facility_figures.h"

#include <algorithm>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "screens/common/facilities/site_figures.h"
#include "sim/daily/facility_running.h"
#include "sim/daily/research_fields.h"
#include "units/deployment_weight.h"
#include "units/facilities/facility_build.h"
#include "world/record_helpers.h"
#include "world/object_hex.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr float kDaysInYear = 365.0f;

const UnitClassRecord* ClassOf(const World& world, int32_t classIndex) {
  return classIndex > 0 ? ClassRecordAt(world, classIndex) : nullptr;
}

}  // namespace

uint32_t PackedCellHex(const World& world, uint32_t cellIndex) {
  const uint32_t width = world.mapWidth > 0 ? static_cast<uint32_t>(world.mapWidth) : 1u;
  return (cellIndex % width & 0xFFFFu) | (cellIndex / width & 0xFFFFu) << 16;
}

FacilityView ViewFacility(const World& world, uint32_t cellIndex) {
  FacilityView v;
  if (cellIndex >= world.cells.size()) return v;
  v.cell = &world.cells[cellIndex];
  v.cellIndex = cellIndex;
  v.packed = PackedCellHex(world, cellIndex);
  v.owner = CellOwner(v.cell->word);
  v.loyal = CellLoyalTo(v.cell->word);
  v.ownHex = v.owner == world.gameState.localPlayer;
  v.present = GetActiveObject(v.cell, false);
  if (v.present) {
    v.classIndex = v.present->classIndex;
    v.cls = ClassOf(world, v.classIndex);
  }
  v.visibleClass = VisibleLeadClass(world, v.cell);
  return v;
}

uint32_t SelectedCellIndex(const World& world) {
  const HexPosition& hex = world.gameState.currentHex;
  return hex.x == 0 && hex.y == 0 ? kNoCellIndex : hex.cellIndex;
}

FacilityView ViewSelectedFacility(const World& world) { return ViewFacility(world, SelectedCellIndex(world)); }

bool FacilityActive(const UnitRecord& facility) { return !(facility.ordersShown[kPostureBits] & kPostureInReserve); }

bool IsRallyBaseClass(const UnitClassRecord& cls) {
  return !(cls.flags & kClassExcludedKinds) && (cls.flags & kClassSettlement) && cls.baseKind == 0 && cls.baseSlots != 0;
}

bool IsReserveBaseClass(const UnitClassRecord& cls) {
  return !(cls.flags & kClassExcludedKinds) && (cls.flags & kClassSettlement) && cls.baseKind == 0 &&
         (cls.baseSlots != 0 || (cls.flags & (kClassAirBase | kClassHaven)));
}

float HexSup(const World& world, const FacilityView& view) {
  return view.cell ? HexSupplierRate(world, *view.cell) : 0.0f;
}

float FacilityYearlyRunning(const World& world, const UnitRecord& facility, const UnitClassRecord& cls,
                            const PlayerRecord& owner) {
  if (owner.kind == kKindWorld) return 0.0f;
  const uint32_t state = facility.ordersShown[kStateFlags];
  const bool idle = !FacilityActive(facility);
  const bool repairing = idle && facility.strength < facility.targetStrength && (state & kStateHeldSlot);
  const bool mothballed = (state & kStatePausedBuild) != 0;
  return FacilityRunningCharge(world, cls, facility.strength, owner.gdpPerCapita, idle, repairing || mothballed) *
         kDaysInYear;
}

float FacilityUpkeepPerYear(const World& world, const FacilityView& view) {
  if (!view.present || !view.cls || view.owner < 0 || view.owner >= kMaxPlayers) return 0.0f;
  return FacilityYearlyRunning(world, *view.present, *view.cls, world.players[view.owner]);
}

uint16_t BaseSiteCount(const PlayerRecord& owner) {
  const float sites = RecordF32(owner, kCapacityByKind);
  if (!(sites > 0.0f)) return 0;
  return sites >= 65535.0f ? uint16_t{65535} : static_cast<uint16_t>(sites);
}


float RemovalDays(const World& world, const FacilityView& view, int32_t boxId) {
  if (boxId == 2) return 1.0f;
  if (!view.cell) return 0.0f;
  const float strength = view.present ? view.present->strength : 0.0f;
  const UnitClassRecord* visible = ClassOf(world, view.visibleClass);
  const float days = visible ? visible->buildWorkPerPoint : 0.0f;
  const float rate = SupplyLevelFactor(HexLevelByte(world, *view.cell), HexSup(world, view));
  if (!(rate > 0.0f)) return 0.0f;
  return strength * days / rate / 10.0f;
}

float LocalReserveForce(const World& world) {
  const int local = world.gameState.localPlayer;
  if (local < 0 || local >= kMaxPlayers) return 0.0f;
  return world.players[local].soldiers - PendingDeployments(world, local);
}

float SiteEfficiency(const World& world, const FacilityView& view) {
  if (!view.cell || !view.cls) return 1.0f;
  const SiteSupply site = HexSiteSupply(world, *view.cell, *view.cls, view.classIndex, view.owner);
  return site.need > site.supply ? site.supply / site.need : 1.0f;
}
