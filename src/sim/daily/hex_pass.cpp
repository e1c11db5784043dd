#include "sim/daily/hex_pass.h"

#include <cmath>

#include "app/game_math.h"
#include "sim/daily/facility_running.h"
#include "sim/daily/product_fields.h"
#include "sim/daily/research_fields.h"
#include "sim/facility_costs.h"
#include "sim/hex_refresh.h"
#include "units/hex_state.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "units/hex_capture.h"
#include "units/facilities/facility_build.h"
#include "units/facilities/hex_facility_state.h"
#include "records/hex_unit_stack.h"
#include "world/unit_class.h"
#include "records/unit_record.h"
#include "records/hex_cell.h"
#include "records/game_command_record.h"
#include "records/player_record.h"
#include "world/record_helpers.h"
#include "world/world.h"

namespace {

// Classes 4024 to 4047 have their output scaled by a per-region factor,
// kept from entry 36 of the region's factor row.
constexpr int kOwnerScaledFirst = 4024;
constexpr int kOwnerScaledLast = 4047;
constexpr int kOwnerScaleEntry = 36;
// The region's factor for the output of product 7 from large settlements.
constexpr int kLargeSettlementFactor7 = product::kOutputFactor + 7;
constexpr float kLargeSettlement = 100000.0f;

bool Live(const UnitRecord& u) { return !(u.unitFlags & (kUnitGone | kUnitProvisional)) && u.classIndex != 0; }
bool Working(const UnitRecord& u) { return Live(u) && !InReserve(u); }

uint32_t ClassFlagsOf(const World& world, const UnitRecord& u) {
  const UnitClassRecord* c = UnitClassOf(world, u);
  return c ? c->flags : 0;
}

uint32_t TerrainFlags(const TerrainRecord* t) { return t ? ::TerrainFlags(*t) : 0; }

// A unit that keeps its hex from falling: a working unit of the owner or of
// a friend of the owner that is no enemy, on the land (category 0) or sea
// (category 2) chains, that could take ground itself: armed against ground
// targets (land) or against target type 6 (sea), of a class that may defend,
// not standing down, and, short of ammunition, only on its own owner's hex.
bool IsDefender(World& world, const UnitRecord& u, int category, int owner) {
  if (!Working(u)) return false;
  const PlayerPolicyBlock& policy = world.players[owner].simPolicy;
  const uint32_t bit = 1u << (u.owner & 31u);
  const bool side = u.owner == owner || ((policy.friendlyMask & bit) && !(policy.hostileMask & bit));
  if (!side) return false;
  if (ClassFlagsOf(world, u) & kClassNeverSurrenders) return false;
  if (category != 0 && category != 2) return false;
  if ((u.orders[kOrdersHeader] & kHeaderNoCapture) && !(u.orders[kOrderFlags] & kOrderTakeGround))
    return false;
  return UnitCanTakeGround(world, u);
}

bool DefendedAround(World& world, int32_t x, int32_t y, int owner) {
  for (int d = 0; d <= 6; ++d) {
    const int32_t n = HexNeighbourCell(world, x, y, d);
    if (n < 0) continue;
    const HexUnitStack* stack = LoadHexStack(world.cells[static_cast<size_t>(n)]);
    if (!stack) continue;
    for (int cat = 0; cat < 4; ++cat)
      for (const UnitRecord* u = stack->chainA[cat]; u; u = u->nextInChainA)
        if (IsDefender(world, *u, cat, owner)) return true;
  }
  return false;
}

// Whether a level-0 hex falls to a hostile neighbour; returns the player it
// falls to, or -1.
int Takeover(World& world, const HexDayMaps& maps, int32_t cell, int32_t x, int32_t y) {
  const uint32_t word = world.cells[static_cast<size_t>(cell)].word;
  const int owner = CellOwner(word);
  const int contender = CellLoyalTo(word);
  int counts[kMaxPlayers] = {};
  int best = -1;
  int bestCount = 0;
  for (int d = 0; d < 6; ++d) {
    const int32_t n = HexNeighbourCell(world, x, y, d);
    if (n < 0 || maps.levels[static_cast<size_t>(n)] <= 1) continue;
    const int other = CellOwner(world.cells[static_cast<size_t>(n)].word);
    if (other == owner) {
      ++counts[owner];
    } else if (world.players[other].simPolicy.hostileMask & (1u << owner)) {
      if (++counts[other] > bestCount) {
        bestCount = counts[other];
        best = other;
      }
    }
  }
  if (best < 0 || counts[owner] >= bestCount) return -1;
  const int candidate = counts[contender] > 0 ? contender : best;
  if (DefendedAround(world, x, y, owner)) return -1;
  if (!(TerrainFlags(TerrainOf(world, world.cells[static_cast<size_t>(cell)])) & kTerrainWater)) {
    MessageParams p;
    p.p1 = static_cast<uint32_t>(x);
    p.p2 = static_cast<uint32_t>(y);
    PostPlayerMessage(world, world.players[owner], candidate, kMsgHexLost, nullptr, p);
  }
  // The units settle the hex. The day's figures go to whoever holds it
  // afterwards: the candidate, unless the battle left the hex where it was
  // (a neutral water hex), when crediting the candidate would count a hex
  // for a region that does not hold it.
  CaptureHex(world, world.cells[static_cast<size_t>(cell)], candidate, 0, 15, 0, 0);
  return candidate;
}

void AddSlotOutput(PlayerRecord& r, int slot, float v) {
  const size_t at = product::kDayClassSlotOutput + 4 * static_cast<size_t>(slot);
  product::SetRecordReal(r, at, product::RecordReal(r, at) + v);
}

float ProductField(const PlayerRecord& r, int p, size_t at) { return le::LoadF32(r.products[p].bytes + at); }
void AddProductField(PlayerRecord& r, int p, size_t at, float v) {
  le::StoreF32(r.products[p].bytes + at, ProductField(r, p, at) + v);
}

// One day of building work at the given rate on a piece of work of class
// `cls` standing at `done` (strength or progress), paid by region `payer`;
// returns the new figure, or `done` when nothing could be built today.
// `ceiling` is what the work may reach.
float BuildDay(World& world, PlayerRecord& payer, const UnitClassRecord& cls, float rate, float done, float ceiling) {
  const float t = cls.buildWorkPerPoint;
  // Work with no build time has no daily share: nothing is built or paid.
  if (!(t > 0.0f)) return done;
  const float area = world.mapHeader.scaleSquared;
  const float a = cls.firepower / t * rate * area;
  const float b = cls.resourceB / t * rate * area;
  AddProductField(payer, 9, product::kDayDemand, a);
  AddProductField(payer, 10, product::kDayDemand, b);
  const bool bySize = (cls.flags & kClassRoad) && !(cls.flags & kClassSettlementPopulation);
  const float k = bySize ? static_cast<float>(world.mapHeader.hexScale) : area;
  const float price = cls.price;
  if (payer.treasury < 0.0f) {
    payer.turnUnpaidBuildCost += price / t * payer.costFactor * rate * k;
    return done;
  }
  if (a > ProductField(payer, 9, product::kStock) || b > ProductField(payer, 10, product::kStock)) return done;
  const float money = done == 0.0f ? price * k * 0.2f * payer.costFactor : price / t * payer.costFactor * rate * k;
  ChargeTreasury(world, payer, Ledger::kConstruction, money);
  payer.turnBuildSpending += money;
  AddProductField(payer, 9, product::kStock, -a);
  AddProductField(payer, 10, product::kStock, -b);
  AddProductField(payer, 9, product::kDayUse, a);
  AddProductField(payer, 10, product::kDayUse, b);
  const float raised = done + rate / t;
  return raised < ceiling ? raised : ceiling;
}

float HexRate(uint8_t level, float s, float r) { return SupplyLevelFactor(level, s) * r; }

// The lead facility's day: building and repair, then its upkeep.
void LeadFacilityDay(World& world, HexCell& hex, UnitRecord& lead, uint8_t level, float s) {
  const UnitClassRecord* cls = UnitClassOf(world, lead);
  if (!cls) return;
  PlayerRecord& payer = world.players[CellOwner(hex.word)];
  const bool idle = InReserve(lead);
  const bool damaged = lead.strength < lead.targetStrength;
  const bool building = idle && (lead.orders[kStateFlags] & kStateHeldSlot);
  const bool d = damaged && building;
  const float r = HexRepairFactor(world, lead.x, lead.y, nullptr);
  const bool levelPasses = level != 0 || (r > 1.0f && (cls->flags & kClassFortifies));
  const float t = cls->buildWorkPerPoint;

  if (damaged && !(lead.orders[kStateFlags] & kStatePausedBuild) && levelPasses) {
    float rate = HexRate(level, s, r);
    if (!d) rate *= 2.0f;
    const float ceiling = lead.targetStrength > 1.0f ? lead.targetStrength : 1.0f;
    const float before = lead.strength;
    const float after = BuildDay(world, payer, *cls, rate, before, ceiling);
    if (after != before) {
      lead.strength = after;
      if (after < lead.targetStrength) {
        lead.buildWork = (lead.targetStrength - after) * t;
      } else {
        lead.strength = lead.targetStrength;
        for (OrderBlock* o : {&lead.ordersShown, &lead.orders}) {
          (*o)[kStateFlags] &= ~(kStateBit24 | kStateHeldSlot);
          (*o)[kPostureBits] &= ~kPostureUnderConstruction;
        }
        SetStackUnitState(world, hex, 0, 0);
        SetStackUnitState(world, hex, 1, 0);
        lead.buildWork = 0.0f;
        if (idle) {
          MessageParams p;
          // The texts name the class and then the hex, both in one word.
          p.p1 = static_cast<uint32_t>(lead.classIndex);
          p.p2 = PackHex(lead.x, lead.y);
          if (cls->flags & kClassProduction) {
            PostPlayerMessage(world, payer, payer.number, kMsgFacilityDone, nullptr, p);
          } else if (cls->flags & kClassSettlement) {
            PostPlayerMessage(world, payer, payer.number, kMsgSiteDone, nullptr, p);
            BroadcastPlayerMessage(world, payer, 0, kMsgSiteDoneNews, kMsgSiteDoneNews, kMsgSiteDoneNews, nullptr, p);
          }
        }
      }
    }
  }

  if (payer.kind == kKindWorld || !(cls->flags & (kClassSettlement | kClassProduction))) return;
  const bool mothballed = (lead.orders[kStateFlags] & kStatePausedBuild) != 0;
  // A class with no build time has no price per day: it costs nothing to
  // keep, but a mothballed one still decays.
  if (t > 0.0f) {
    const float cost = FacilityRunningCharge(world, *cls, lead.strength, payer.gdpPerCapita, idle, d || mothballed);
    if (cls->flags & kClassSettlement)
      payer.turnUpkeepMarked += cost;
    else
      payer.turnUpkeepOther += cost;
    ChargeTreasury(world, payer, Ledger::kMaintenance, cost);
  }
  // A mothballed facility wears away every other day and is retired once
  // nothing is left of it, whether that happens today or it had nothing left.
  if (idle && !d && mothballed) {
    if (lead.strength > 0.0f && (world.gameState.currentDay & 1u)) lead.strength -= 0.005f;
    if (!(lead.strength > 0.0f)) UnitHexRefresh(world, lead);
  }
}

// An improvement slot's building day.
void BuildSlot(World& world, HexCell& hex, HexExtra& extra, int slot, uint8_t level, float s, int32_t x, int32_t y) {
  const uint8_t flags = HexSlotSimFlags(extra, slot);
  const float progress = HexSlotProgress(extra, slot);
  if (!((flags & kSlotBuilding) || progress < 1.0f) || (flags & kSlotHeld) || level == 0) return;
  const UnitClassRecord* cls = ClassRecordAt(world, SlotImprovementClass(HexSlotClass(extra, slot)));
  if (!cls) return;
  const float r = HexRepairFactor(world, x, y, nullptr);
  const float rate = HexRate(level, s, r) * 2.0f;
  // On a hex that needs its facility the work may not outgrow it: the
  // slot waits that day.
  const TerrainRecord* terrain = TerrainOf(world, hex);
  if (terrain && terrain->bytes[kTerrainMovement0At] == 0 && cls->buildWorkPerPoint > 0.0f) {
    const UnitRecord* lead = GetActiveObject(&hex, true);
    const float cap = lead ? lead->strength : 0.0f;
    const float next = progress + rate / cls->buildWorkPerPoint;
    if ((next < 1.0f ? next : 1.0f) > cap) return;
  }
  PlayerRecord& payer = world.players[CellOwner(hex.word)];
  const float after = BuildDay(world, payer, *cls, rate, progress, 1.0f);
  SetHexSlotProgress(extra, slot, after);
  if (after >= 1.0f && (flags & kSlotBuilding)) {
    HexStateSetFlag2(extra, slot, 1, false);
    HexStateSetFlag2(extra, slot, 0, false);
  }
}

float TerrainReal(const TerrainRecord& t, size_t at, int i) { return le::LoadF32(t.bytes + at + 4 * static_cast<size_t>(i)); }

// What a working lead adds to each product's yield: its class's output
// factor, weighed by its strength and, for the owner-scaled classes, the
// owner's factor for the class when that is not 1.0. Nothing without a
// factor array or for an idle lead.
void LeadContribution(const World& world, const UnitRecord& lead, const UnitClassRecord& cls, int owner,
                      float (&d)[kProductCount]) {
  for (float& v : d) v = 0.0f;
  if (!cls.hasExtra || InReserve(lead)) return;
  const float c = lead.strength;
  const float m = c - (1.0f - c) * c * 0.3f;
  float scale = 1.0f;
  if (lead.classIndex >= kOwnerScaledFirst && lead.classIndex <= kOwnerScaledLast && owner >= 0 && owner < kMaxPlayers)
    scale = world.techEffects[owner][kOwnerScaleEntry + (lead.classIndex - kOwnerScaledFirst)];
  for (int p = 0; p < kProductCount; ++p) {
    float v = m * ClassOutputFactor(cls, p);
    if (scale != 1.0f) v = v * scale;
    d[p] = v;
  }
}

// The hex's yields of the eleven products: the terrain's, nothing on a hex
// marked as yielding nothing, and under a producing lead what its
// neighbourhood and its own output allow. With caps, also what the
// neighbourhood allows any hex there, producing or not.
void HexYields(const World& world, const TerrainRecord& terrain, bool barren, const UnitRecord* lead,
               const UnitClassRecord* cls, int owner, int32_t x, int32_t y, float (&out)[kProductCount],
               float* caps = nullptr) {
  float own[kProductCount];
  for (int p = 0; p < kProductCount; ++p) {
    own[p] = TerrainReal(terrain, kTerrainYieldsAt, p);
    out[p] = barren ? 0.0f : own[p];
  }
  const bool producing = lead && cls && (cls->flags & kClassProduction);
  if (!caps && (barren || !producing)) return;
  const TerrainRecord* around[6] = {};
  for (int k = 0; k < 6; ++k) {
    const int32_t n = HexNeighbourCell(world, x, y, k);
    if (n >= 0) around[k] = TerrainOf(world, world.cells[static_cast<size_t>(n)]);
  }
  float spill[kProductCount];
  NeighbourhoodSpill(terrain, around, spill);
  float d[kProductCount] = {};
  if (producing) LeadContribution(world, *lead, *cls, owner, d);
  for (int p = 0; p < kProductCount; ++p) {
    float g = spill[p];
    if (cls && (cls->flags & kClassFullAvailability)) g += d[p];
    g = own[p] > g ? own[p] : (g < 1.0f ? g : 1.0f);
    if (caps) caps[p] = g;
    if (barren || !producing) continue;
    const float v = own[p] + d[p];
    out[p] = v < g ? v : g;
  }
}

// The hex's products for its owner at the level's factor: the yields over
// the hex's area, a large settlement's own output and the output its class
// feeds into the region's class slots.
void CountYields(World& world, PlayerRecord& region, int owner, const TerrainRecord& terrain, HexExtra* extra,
                 const UnitRecord* lead, float pop, uint8_t level, float s, int32_t x, int32_t y) {
  const float area = world.mapHeader.scaleSquared;
  const float f = SupplyLevelFactor(level, s);
  const bool barren = extra && (HexSlotSimFlags(*extra, 0) & kSlotNoYield);
  const UnitClassRecord* cls = lead ? UnitClassOf(world, *lead) : nullptr;
  float yields[kProductCount];
  HexYields(world, terrain, barren, lead, cls, owner, x, y, yields);
  const bool large = cls && (cls->flags & kClassSettlementPopulation) && pop > kLargeSettlement;
  for (int p = 0; p < kProductCount; ++p) {
    if (large) {
      const float m = p == 7 ? product::Factors(world, region)[kLargeSettlementFactor7] : 1.0f;
      const float share = SafeDivide(product::WorldReal(world, p, product::kWorldShare),
                                     product::WorldReal(world, p, product::kWorldOutputWeight));
      const float w = pop / 25500000.0f * share * m * f;
      region.dayPopulationOutput[p] += w;
      region.dayProduction[p] += w;
      if (p == 7 && w > 0.0f) AddSlotOutput(region, 2, w);
    }
    if (yields[p] == 0.0f) continue;
    region.dayProduction[p] += area * yields[p] * f;
    const float own = TerrainReal(terrain, kTerrainYieldsAt, p);
    if (own != 0.0f) region.dayRawYield[p] += area * own * f;
  }
  const int q = cls ? cls->productSlot : 0;
  if (q != 0 && q < kProductCount) AddSlotOutput(region, q, yields[7] * area * f);
}

// A region's 16-bit census count, held at the word's top.
void AddCount(uint16_t& count, uint32_t n) { count = static_cast<uint16_t>(count + n > 0xFFFFu ? 0xFFFFu : count + n); }
void AddCount(uint8_t& count, uint32_t n) { count = static_cast<uint8_t>(count + n > 0xFFu ? 0xFFu : count + n); }

// A class's running value per year's day, before the cost factor: its price
// per build day over the scale, a tenth of it, for the marked and running
// classes only.
float RunningValue(const World& world, const UnitClassRecord& cls) {
  const float t = cls.buildWorkPerPoint;
  if (!(cls.flags & (kClassSettlement | kClassRoad)) || !(t > 0.0f)) return 0.0f;
  const bool bySize = (cls.flags & kClassRoad) && !(cls.flags & kClassSettlementPopulation);
  const float k = bySize ? static_cast<float>(world.mapHeader.hexScale) : world.mapHeader.scaleSquared;
  return cls.price / t * k / 10.0f;
}

// A finished improvement's running cost for the hex's owner.
void CountFinishedSlot(const World& world, PlayerRecord& owner, HexExtra& extra, int slot) {
  const uint8_t flags = HexSlotSimFlags(extra, slot);
  if (!(flags & kSlotInUse) || (flags & (kSlotBuilding | kSlotRemoving)) || HexSlotProgress(extra, slot) == 0.0f) return;
  const UnitClassRecord* cls = ClassRecordAt(world, SlotImprovementClass(HexSlotClass(extra, slot)));
  if (!cls) return;
  owner.dayYearlyCostFacilities += RunningValue(world, *cls) * owner.costFactor * 365.0f / 10.0f;
}

// The census of a marked class's unit for its owner: capacity and counts
// by kind, crew, port capacity and the lead's rating.
void CountCensus(PlayerRecord& o, const UnitRecord& lead, const UnitClassRecord& cls, bool working) {
  const uint8_t size = cls.baseSlots;
  const uint8_t kind = cls.censusKind;
  const int type = (cls.flags & kClassHaven) ? 2 : (cls.flags & kClassAirBase) ? 1 : 0;
  const float rating = static_cast<float>(cls.costFigure);
  if (!working) {
    if (kind == 0) AddCount(o.dayCensusCapacityA[type], size);
    if (kind == 2) AddCount(o.dayKind2IdleCount, 1);
    o.dayLeadValue += rating;
    return;
  }
  if (kind <= 4) {
    const size_t at = kDayCapacityByKind + 4 * static_cast<size_t>(kind);
    SetRecordF32(o, at, RecordF32(o, at) + static_cast<float>(size));
  }
  if (kind == 0) {
    AddCount(o.dayCensusCapacityA[type], size);
    AddCount(o.dayCensusCapacityB[type], size);
    AddCount(o.dayCensusCrew[type], UnitCrew(lead));
  }
  if (kind == 1) SetRecordF32(o, kDayKind1Strength, RecordF32(o, kDayKind1Strength) + lead.strength);
  if (kind == 2) AddCount(o.dayKind2Count, 1);
  if (cls.flags & kClassAirBase) o.dayPortCapacity += 2.0f * static_cast<float>(size) * lead.strength;
  o.dayLeadValue += rating * lead.strength;
}

// The lead's yearly running costs and census, for its owner.
void CountLeadRunning(World& world, const UnitRecord& lead) {
  if ((lead.unitFlags & kUnitGone) || lead.owner >= kMaxPlayers) return;
  const UnitClassRecord* cls = UnitClassOf(world, lead);
  if (!cls) return;
  PlayerRecord& o = world.players[lead.owner];
  const bool working = !InReserve(lead);
  if (working) {
    // Regions with many sites pay more for each of them.
    const float n = RecordF32(o, kDayCapacityByKind);
    const float m = (cls->flags & kClassSettlement) && n >= 19.0f ? n / 18.0f : 1.0f;
    const float v = RunningValue(world, *cls) * lead.strength * m;
    if (!(cls->flags & kClassSettlement) && (cls->flags & kClassRoad))
      o.dayYearlyCostFacilities += v * o.costFactor * 365.0f;
    if (cls->flags & kClassSettlement) o.dayYearlyCostHexLead += v * o.costFactor * 365.0f;
  }
  if (cls->flags & kClassSettlement) CountCensus(o, lead, *cls, working);
}

}  // namespace

static_assert(kHexYieldProducts == kProductCount);

void HexYieldEstimate(const World& world, int32_t cell, float (&yields)[kProductCount], float (&caps)[kProductCount]) {
  for (int p = 0; p < kProductCount; ++p) yields[p] = caps[p] = 0.0f;
  const int32_t width = world.mapWidth;
  if (cell < 0 || width <= 0 || static_cast<size_t>(cell) >= world.cells.size()) return;
  const HexCell& hex = world.cells[static_cast<size_t>(cell)];
  const TerrainRecord* terrain = TerrainOf(world, hex);
  if (!terrain) return;
  HexUnitStack* stack = LoadHexStack(hex);
  HexExtra* extra = stack ? stack->extra : nullptr;
  const bool barren = extra && (HexSlotSimFlags(*extra, 0) & kSlotNoYield);
  const UnitRecord* lead = GetActiveObject(&hex, true);
  const UnitClassRecord* cls = lead ? UnitClassOf(world, *lead) : nullptr;
  HexYields(world, *terrain, barren, lead, cls, CellOwner(hex.word), cell % width, cell / width, yields, caps);
}

uint8_t NextHexLevel(uint8_t level, uint16_t range) {
  const int target = range < 255 ? range : 255;
  if (level < target) {
    const int raised = level + range / 10 + 1;
    return static_cast<uint8_t>(raised < target ? raised : target);
  }
  return static_cast<uint8_t>(target);
}

HexFigures CountHexFigures(World& world, HexCell& hex, int32_t x, int32_t y, uint8_t level) {
  HexFigures f;
  f.owner = CellOwner(hex.word);
  f.contender = CellLoyalTo(hex.word);
  PlayerRecord& region = world.players[f.owner];

  const TerrainRecord* terrain = TerrainOf(world, hex);
  f.terrainFlags = TerrainFlags(terrain);
  ++region.dayHexCount;
  const float t = terrain ? static_cast<float>(terrain->bytes[kTerrainPopulationAt]) : 0.0f;
  const float rural = t != 0.0f ? t * t + 99.0f : 0.0f;
  f.stack = LoadHexStack(hex);
  f.extra = f.stack ? f.stack->extra : nullptr;
  const float pop = rural + (f.extra ? HexSettlementPopulation(*f.extra) : 0.0f);

  const UnitRecord* lead = GetActiveObject(&hex, true);
  f.leadFlags = lead ? ClassFlagsOf(world, *lead) : 0;
  f.efficiency = f.owner != f.contender ? 0.0f : lead ? lead->efficiency : world.players[f.contender].efficiency;

  if (level != 0 && region.kind != kKindWorld && terrain)
    CountYields(world, region, f.owner, *terrain, f.extra, lead, pop, level, f.efficiency, x, y);
  if (lead && (f.leadFlags & kClassSettlementPopulation) && pop > region.turnBestHexValue) {
    region.turnBestHexValue = pop;
    region.turnBestHex[0] = static_cast<int16_t>(x);
    region.turnBestHex[1] = static_cast<int16_t>(y);
  }

  region.dayPopulation += pop;
  region.dayRuralPopulation += rural;
  return f;
}

void DailyHexPassOver(World& world, HexDayMaps& maps) {
  const size_t cells = world.cells.size();
  const int32_t width = world.mapWidth;
  if (cells == 0 || width <= 0 || maps.levels.size() < cells || maps.ranges.size() < cells) return;
  for (size_t i = 0; i < cells; ++i) {
    HexCell& hex = world.cells[i];
    const int32_t cell = static_cast<int32_t>(i);
    const int32_t x = cell % width;
    const int32_t y = cell / width;

    const uint8_t level = NextHexLevel(maps.levels[i], maps.ranges[i]);
    maps.levels[i] = level;

    if (CellLoyalTo(hex.word) != 0 && world.gameState.turnNumber > 1 && level == 0)
      Takeover(world, maps, cell, x, y);
    const HexFigures f = CountHexFigures(world, hex, x, y, level);
    const float s = f.efficiency;
    HexUnitStack* stack = f.stack;
    HexExtra* extra = f.extra;
    uint32_t supply;
    if ((f.leadFlags & kClassSettlementPopulation) || (f.terrainFlags & kTerrainHighGround))
      supply = 3;
    else if (f.terrainFlags & (kTerrainWater | kTerrainCovered))
      supply = 1;
    else
      supply = 2;
    if (f.owner != f.contender || s < 0.5f) supply = (supply + 3) & 3u;
    hex.word = (hex.word & ~3u) | supply;

    if (stack && stack->lead && Live(*stack->lead)) {
      if (stack->lead->orders[kStateFlags] & kStateModeC)
        UnitHexDailyUpdate(world, *stack->lead, level);
      else
        LeadFacilityDay(world, hex, *stack->lead, level, s);
      // The day's work may have retired the lead or put another in its place.
      if (stack->lead) CountLeadRunning(world, *stack->lead);
    }

    if (extra) {
      for (int slot = 0; slot < 2; ++slot) {
        if (HexSlotClass(*extra, slot) == 0 || !(HexSlotSimFlags(*extra, slot) & kSlotInUse)) continue;
        if (HexSlotSimFlags(*extra, slot) & kSlotRemoving)
          HexStateUnitCheck(world, *extra, slot, level);
        else
          BuildSlot(world, hex, *extra, slot, level, s, x, y);
        CountFinishedSlot(world, world.players[CellOwner(hex.word)], *extra, slot);
      }
    }
  }
}
