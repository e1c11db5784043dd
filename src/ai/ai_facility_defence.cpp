#include "ai/ai_facility_defence.h"

#include <algorithm>

#include "ai/ai_event_answer.h"
#include "ai/ai_unit_figures.h"
#include "app/game_math.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "sim/daily/elimination.h"
#include "units/hex_state.h"
#include "units/class_fields.h"
#include "units/combat/fire_sight.h"
#include "units/hex_geometry.h"
#include "world/hex_stack_chains.h"
#include "world/record_helpers.h"
#include "world/scenario_settings.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

// The facilities that guard a site of their own and ask for one defender.
constexpr uint32_t kOwnSiteFlags = kClassBuildsWorks | kClassRoad;
// Products whose sites need no guard: farms, ore and uranium mines.
constexpr bool kUnguardedProduct[11] = {true, false, false, false, false, true, true, false, false, false, false};
// An event's value and wanted count are 16-bit words: a need beyond them is
// held at their top rather than wrapped round to a small one.
constexpr int32_t kValueTop = 0x7FFF;
constexpr int32_t kWantedTop = 0xFFFF;

const UnitClassRecord* ClassOf(const World& world, const UnitRecord& u) {
  if (u.classIndex <= 0 || static_cast<size_t>(u.classIndex) >= world.unitClasses.size()) return nullptr;
  return &world.unitClasses[static_cast<size_t>(u.classIndex)];
}

bool Active(const UnitRecord& u) { return IsUnitLive(u) && !(u.unitFlags & kUnitProvisional); }

template <typename Visit>
void EachUnit(const World& world, Visit visit) {
  for (const UnitRecord* u = world.units; u; u = u->next == world.units ? nullptr : u->next) visit(*u);
}

const HexCell* CellAt(const World& world, uint32_t position) {
  const int64_t i = HexCellIndex(MapShape(world), position);
  if (i < 0 || static_cast<size_t>(i) >= world.cells.size()) return nullptr;
  return &world.cells[static_cast<size_t>(i)];
}

// The hex's lead unit when it is active and has a class.
const UnitRecord* LiveLead(const World& world, const HexCell& cell) {
  const HexUnitStack* stack = LoadHexStack(cell);
  const UnitRecord* lead = stack ? stack->lead : nullptr;
  return lead && Active(*lead) && ClassOf(world, *lead) ? lead : nullptr;
}

// A production site guards by what it yields most: nothing for the products
// no one raids, else more defenders the stronger the site.
DefenceNeed ProductionNeed(const UnitClassRecord& leadClass, float strength) {
  float table[11];
  if (!classfields::ProductValues(leadClass, table)) return {};
  int top = 0;
  float most = 0.0f;
  for (int k = 0; k < 11; ++k) {
    if (table[k] > most) {
      most = table[k];
      top = k;
    }
  }
  if (kUnguardedProduct[top] || !(strength > 0.24f)) return {};
  return {1 - CheckedTrunc(-1.5f * strength), CheckedTrunc(800.0f * strength)};
}

// A settlement far from home guards by its people: the terrain's
// population level and the hex's settlement population.
DefenceNeed SettlementNeed(const World& world, const HexCell& cell, const TerrainRecord* terrain) {
  const int32_t h = terrain ? aifig::TerrainByteH(*terrain) : 0;
  float people = static_cast<float>(h * h + (h > 0 ? 99 : 0));
  if (const HexExtra* label = FindHexExtra(world, static_cast<int32_t>(&cell - world.cells.data())))
    people += HexSettlementPopulation(*label);
  const int32_t v = CheckedTrunc(people / 1000.0f);
  if (v < 81) return {};
  return {v < 301 ? 1 : (v < 1001 ? 2 : 3), v + 500};
}

}  // namespace

uint32_t RegionHomeHex(const World& world, int player) {
  const CapitalPosition home = CapitalHex(world.players[player & 31].simPolicy);
  return home == CapitalPosition{} ? 0u : MakeHexPos(home.x, home.y);
}

DefenceNeed FacilityDefenceNeed(const World& world, const UnitRecord& u, int32_t d) {
  const UnitClassRecord* cls = ClassOf(world, u);
  const HexCell* cell = CellAt(world, MakeHexPos(u.x, u.y));
  if (!cls || !cell) return {};
  if ((cls->flags & kOwnSiteFlags) == kOwnSiteFlags) return {1, 3000};

  const UnitRecord* lead = LiveLead(world, *cell);
  const UnitClassRecord* leadClass = lead ? ClassOf(world, *lead) : nullptr;
  const bool marked = lead && (lead->unitFlags2 & aifig::kStatus2LeadMark) && aifig::LeadValueField(*lead) < 0;
  if ((u.unitFlags2 & aifig::kStatus2Bit0) && !marked) return {};
  // Ground no land unit can enter, under a facility that opens no way
  // across it: no defender could reach it.
  const TerrainRecord* terrain = TerrainOf(world, *cell);
  const bool closed = !terrain || aifig::TerrainByteT(*terrain) == 0;
  if (closed && ((cls->flags & kClassNoTerrainCost) || cls->hexMoveCost == 0)) return {};

  DefenceNeed need;
  const uint32_t leadFlags = leadClass ? leadClass->flags : 0;
  const bool idleBase = leadClass && !(leadClass->reach > 0.0f) && leadClass->baseSlots == 0 &&
                        leadClass->movementType == 0;
  if ((leadFlags & kClassSettlement) && !idleBase) {
    int32_t c = cls->baseSlots / 2 + 1;
    if ((cls->flags & kClassAirBase) || cls->movementType != 0) c *= 2;
    need = {c, (c + 2) * 500};
  } else if (leadFlags & kClassProduction) {
    need = ProductionNeed(*leadClass, u.strength);
  } else if (d > 1) {
    if (leadFlags & kClassSettlementPopulation) need = SettlementNeed(world, *cell, terrain);
  } else {
    need = {4 - d, d == 0 ? 10000 : 4500};
  }
  if (marked) {
    need.count = CheckedTrunc(static_cast<float>(need.count) * lead->strength);
    need.urgency = CheckedTrunc(static_cast<float>(need.urgency) * lead->strength);
  }
  return need;
}

int32_t DefendersPresent(const World& world, const PlayerRecord& region, uint32_t position) {
  const int self = region.number & 31;
  const uint32_t rules = world.scenario.head.gameFlags;
  const bool limited = (rules & kGameFlagFog) != 0;
  if (limited && !SideSpotsHex(world, position, self)) return 0;
  const HexCell* cell = CellAt(world, position);
  const HexUnitStack* stack = cell ? LoadHexStack(*cell) : nullptr;
  if (!stack) return 0;
  // Hidden units are a rule of limited visibility: without it all are seen.
  const bool hidden = limited && (rules & kGameFlagUnitSight);
  const uint32_t friends = (1u << self) | region.displayPolicy.friendlyMask;
  int32_t n = 0;
  // The land units' chain: those are the units a defence call sends.
  for (const UnitRecord* u = ChainLink(stack->chainA[0]); u; u = ChainLink(u->nextInChainA)) {
    const int owner = u->owner & 31;
    if (!Active(*u) || !((friends >> owner) & 1u)) continue;
    // A sight partner's unit counts only when seen, unlike the fire rules'
    // sight (UnitVisibleToSide), which takes a partner's units as its own.
    if (hidden && owner != self && !UnitSeenBySide(world, *u, self)) continue;
    ++n;
  }
  return n;
}

std::vector<AiEvent> PlanFacilityDefence(const World& world, const PlayerRecord& region) {
  std::vector<AiEvent> events;
  const int self = region.number;
  const uint32_t home = RegionHomeHex(world, self);
  if (home == 0) return events;
  const HexMapShape shape = MapShape(world);
  const int64_t today = world.gameState.currentDay % 7;
  EachUnit(world, [&](const UnitRecord& u) {
    if (!Active(u) || u.owner != self || !(u.unitFlags & kUnitFacility) || (u.unitFlags & kUnitStock)) return;
    const UnitClassRecord* cls = ClassOf(world, u);
    if (!cls || (cls->flags & kClassStock)) return;
    const uint32_t here = MakeHexPos(u.x, u.y);
    const int64_t cell = HexCellIndex(shape, here);
    if (cell < 0 || cell % 7 != today) return;
    const DefenceNeed need = FacilityDefenceNeed(world, u, AiHexDistance(world, here, home));
    if (need.count <= 0) return;
    const int32_t present = DefendersPresent(world, region, here);
    const int32_t value = need.urgency - 1000 * present;
    if (present >= need.count || value <= 0) return;
    AiEvent e;
    e.tick = CurrentTickNow(world.gameState);
    e.position = here;
    e.value = static_cast<uint16_t>(std::min(value, kValueTop));
    e.kind = kDefenceEventKind;
    e.subKind = static_cast<uint16_t>(std::min(need.count - present, kWantedTop));
    events.push_back(e);
  });
  return events;
}
