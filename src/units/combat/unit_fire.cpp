#include "units/combat/unit_fire.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/game_math.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "sim/hex_refresh.h"
#include "units/hex_state.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "sim/relations.h"
#include "sim/sim_ui_link.h"
#include "units/class_fields.h"
#include "world/combat_counters.h"
#include "units/combat/fire_sight.h"
#include "units/hex_capture.h"
#include "units/facilities/hex_facility_state.h"
#include "units/hex_geometry.h"
#include "world/movement_rates.h"
#include "world/unit_class.h"
#include "units/unit_destroy.h"
#include "units/unit_player_fields.h"
#include "units/step/unit_react.h"
#include "world/unit_tables.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/world.h"
#include "records/unit_table_arrays.h"
#include "world/movement_types.h"

namespace {

namespace cf = classfields;
namespace uf = unitfields;

constexpr uint8_t kTargetTypeAir = 1;
// Rules of the exchange.
constexpr float kCrowdingLimit = 7.0f;
constexpr float kBombardFactor = 0.6f;
constexpr float kSpecialFactorB = 5.0f;
constexpr float kSpecialFactorA = 10.0f;
constexpr float kSurvivalDefault = 2.0f;
constexpr float kSurvivalSingleItem = 0.2f;
constexpr float kSurvivalSingleFacility = 0.01f;
constexpr float kStockCargoFloor = 1.0f;

uint32_t Position(const UnitRecord& u) { return MakeHexPos(u.x, u.y); }

const HexCell* CellAt(const World& world, uint32_t position) {
  const int64_t i = HexCellIndex(MapShape(world), position);
  if (i < 0 || static_cast<size_t>(i) >= world.cells.size()) return nullptr;
  return &world.cells[static_cast<size_t>(i)];
}

HexCell* CellAt(World& world, uint32_t position) {
  return const_cast<HexCell*>(CellAt(static_cast<const World&>(world), position));
}

const TerrainRecord* TerrainAt(const World& world, const HexCell* cell) {
  if (!cell) return nullptr;
  const auto t = static_cast<size_t>(CellTerrain(cell->word));
  return t < world.terrains.size() ? &world.terrains[t] : nullptr;
}

uint32_t TerrainFlagsAt(const World& world, const HexCell* cell) {
  const TerrainRecord* t = TerrainAt(world, cell);
  return t ? TerrainFlags(*t) : 0;
}

const UnitRecord* HexLead(const HexCell* cell) {
  const HexUnitStack* stack = cell ? LoadHexStack(*cell) : nullptr;
  return stack ? stack->lead : nullptr;
}

bool CombatReady(const UnitRecord& u) { return IsUnitLive(u) && !InReserve(u); }

// A rating byte above 150 counts quadratically beyond it.
float Rating(uint8_t r) {
  if (r <= 150) return static_cast<float>(r);
  const float over = static_cast<float>(r - 150);
  return over * over + 150.0f;
}

float Quality(const UnitRecord& u) { return std::sqrt((u.experience + 1.0f) * (u.training + 0.8f)); }

float Posture(uint32_t terrainFlags, const UnitRecord& u) {
  float f = 1.0f;
  const uint32_t matched = terrainFlags & u.unitFlags & kUnitPostures;
  if (matched & (1u << 3)) f = 1.5f;
  if (matched & (1u << 2)) f = f * 1.5f;
  if (matched & (1u << 1)) f = f * 1.5f;
  return f;
}

int TargetType(const World& world, const UnitRecord& target, const UnitClassRecord& cls) {
  if (CountsAsLandTarget(world, target)) return 0;
  int t = cls.targetType;
  if ((t == 4 || t == 5) && (target.unitFlags & kUnitSpeedBonus)) t = 3;
  return std::min(t, 5);
}

bool IsFortification(const World& world, const UnitRecord& u) {
  const UnitClassRecord* cls = UnitClassOf(world, u);
  return cls && (cls->flags & kClassFortification);
}

// The hex's lead gives cover: ready, confirmed and live.
const UnitRecord* CoveringLead(const HexCell* cell) {
  const UnitRecord* lead = HexLead(cell);
  if (lead && CombatReady(*lead) && !(lead->unitFlags & kUnitProvisional)) return lead;
  return nullptr;
}

float DefenceOf(const World& world, const UnitRecord& target, const UnitClassRecord& cls, int mode) {
  const HexCell* cell = CellAt(world, Position(target));
  const uint32_t tflags = TerrainFlagsAt(world, cell);
  int dm = mode;
  float terrain = 1.0f;
  if (target.kind == kUnitKindAir) {
    if (CountsAsLandTarget(world, target) && mode != kFireBombard) dm = kFireCovered;
    terrain = Posture(tflags, target);
  } else {
    const TerrainRecord* t = TerrainAt(world, cell);
    int cover = t ? cf::TerrainCover(*t, mode) : 0;
    if (const UnitRecord* lead = CoveringLead(cell)) {
      if (const UnitClassRecord* leadClass = UnitClassOf(world, *lead)) {
        cover = std::max(cover, static_cast<int>(leadClass->defenceValues[3]));
        if ((leadClass->flags & kClassFortification) && mode == kFireClose) cover = cover * 3;
      }
    }
    // Covers below 3 count as none at all.
    const float c = cover < 3 ? 1.0f : static_cast<float>(cover) / 10.0f;
    terrain = (static_cast<float>(target.entrenchment) / 100.0f + 1.0f) * c * Posture(tflags, target);
  }
  if (InReserve(target)) terrain = terrain * 0.5f;
  const float d = Rating(cls.defenceValues[dm]);
  return d * d * (target.morale + 0.2f) * (target.efficiency + 0.2f) * Quality(target) * target.strength * terrain +
         target.strength;
}

int HoldSetting(const UnitRecord& u) { return static_cast<int>(OrderHoldSetting(u.orders[kOrdersWord])); }

void Post(World& world, int player, uint32_t type, const MessageParams& params) {
  PlayerRecord& recipient = world.players[player & 31];
  PostPlayerMessage(world, recipient, player & 31, type, nullptr, params);
}

void Broadcast(World& world, int player, uint32_t type, const MessageParams& params) {
  BroadcastPlayerMessage(world, world.players[player & 31], type, type, type, type, nullptr, params);
}

// The hex's people (level squared plus 99, none at level 0) and those the
// settlement's state block holds beyond them.
float HexPeopleBase(const World& world, const HexCell* cell) {
  const TerrainRecord* t = TerrainAt(world, cell);
  const int level = t ? cf::TerrainPopulationLevel(*t) : 0;
  return level == 0 ? 0.0f : static_cast<float>(level * level + 99);
}

// People killed on a settlement's hex: the owner's figures fall with them.
void KillPeople(World& world, UnitRecord& settlement, float killed) {
  PlayerRecord& owner = world.players[settlement.owner & 31];
  const float total = owner.population;
  const float share = (killed >= total || total <= 0.0f) ? 1.0f : killed / total;
  owner.soldiers = std::max(0.0f, owner.soldiers - share * owner.soldiers);
  owner.population = std::max(1.0f, total - killed);
  for (int i = 0; i < 3; ++i) uf::SetReal(owner, uf::kCasualties + 4 * static_cast<size_t>(i),
                                          uf::Real(owner, uf::kCasualties + 4 * static_cast<size_t>(i)) + killed);
  uf::SetReal(owner, uf::kCasualtiesD, uf::Real(owner, uf::kCasualtiesD) + killed);
  owner.approval = owner.approval * (1.0f - share / 2.0f);
}

void HitSettlement(World& world, UnitRecord& target, float loss, bool destroyed) {
  HexCell* cell = CellAt(world, Position(target));
  if (!cell) return;
  HexExtra* extra = GetHexExtra(world, *cell);
  const float base = HexPeopleBase(world, cell);
  const float people = base + (extra ? HexSettlementPopulation(*extra) : 0.0f);
  const float killed = destroyed ? people : people * loss;
  KillPeople(world, target, killed);
  if (extra) SetHexSettlementPopulation(*extra, destroyed ? 0.0f : std::max(0.0f, people - killed - base));
}

bool LocalSideSpots(const World& world, uint32_t position) {
  const uint32_t rules = world.scenario.head.gameFlags;
  if (!(rules & kGameFlagFog)) return true;
  return SideSpotsHex(world, position, world.gameState.localPlayer);
}

void ClearTargetIn(OrderBlock& o, uint32_t id) {
  if (o[kFireUnit] == id) {
    o[kFireUnit] = 0;
    o[kFireHex] = 0;
  }
}

// The firer's reward and the news of a kill; the target goes.
void ResolveKill(World& world, UnitRecord& a, UnitRecord& t, const UnitClassRecord& tc) {
  const uint32_t at = Position(t);
  const int owner = t.owner & 31;
  const bool stock = (t.unitFlags & kUnitStock) != 0;
  const bool facility = (t.unitFlags & kUnitFacility) != 0;
  const auto classNumber = static_cast<uint32_t>(t.classIndex);
  if (!stock && !facility) {
    a.kills = static_cast<int16_t>(a.kills + 1);
    Post(world, owner, kMsgUnitDestroyed, MessageParams{t.id, classNumber, at});
    Post(world, a.owner, kMsgEnemyUnitDestroyed, MessageParams{t.id});
  } else if (facility) {
    if (tc.flags & kClassSettlementPopulation) {
      HitSettlement(world, t, 0.0f, true);
      Post(world, owner, kMsgSettlementRazed, MessageParams{at});
      Broadcast(world, owner, kMsgSettlementRazedNews, MessageParams{at});
    } else {
      if (tc.flags & kClassSettlement) {
        if (HexCell* cell = CellAt(world, at)) StackSideEffects(world, *cell, 0, 0, -1);
        Post(world, owner, kMsgSettlementFacilityDestroyed, MessageParams{classNumber, at});
        Broadcast(world, owner, kMsgSettlementFacilityDestroyedNews,
                  MessageParams{static_cast<uint32_t>(owner), classNumber, at});
      }
      if (tc.flags & kClassProduction) {
        Post(world, owner, kMsgProductionDestroyed, MessageParams{classNumber, at});
        Broadcast(world, owner, kMsgProductionDestroyedNews, MessageParams{static_cast<uint32_t>(owner), classNumber});
      }
      if (tc.flags & kClassRoad) Broadcast(world, owner, kMsgRoadDestroyedNews, MessageParams{static_cast<uint32_t>(owner), at});
    }
    UnitHexRefresh(world, t);
  } else {
    Post(world, a.owner, kMsgEnemyStockDestroyed, MessageParams{t.id});
  }
  const int32_t pixelX = CheckedTrunc(t.pixelX);
  const int32_t pixelY = CheckedTrunc(t.pixelY);
  const int n = UnitDestroy(world, t, 0);
  PlayerRecord& firer = world.players[a.owner & 31];
  for (size_t i = 0; i < 3; ++i) uf::SetInt(firer, uf::kUnitsDestroyed + 4 * i, uf::Int(firer, uf::kUnitsDestroyed + 4 * i) + n);
  CountUnitsDestroyed(world, n);
  a.experience += 0.02f;
  a.morale = a.morale * (a.morale < 1.0f ? 1.1f : 1.01f);
  if (a.fireTarget == t.id) a.fireTarget = 0;
  if (a.orders[kFireUnit] == t.id) {
    ClearTargetIn(a.orders, t.id);
    ClearTargetIn(a.ordersShown, t.id);
  }
  if (LocalSideSpots(world, at)) NotifyUnitDestroyedByFire(at, pixelX, pixelY, tc.destructionSound);
}

void ResolveSurvival(World& world, UnitRecord& a, UnitRecord& t, const UnitClassRecord& tc, int mode, float q,
                     float loss) {
  const bool stock = (t.unitFlags & kUnitStock) != 0;
  const bool facility = (t.unitFlags & kUnitFacility) != 0;
  if (!stock && !facility) {
    const bool air = tc.targetType == kTargetTypeAir;
    if (mode == kFireBombard) {
      t.disruption += air ? std::sqrt(q) / 3.0f : q / 6.0f;
    } else {
      t.disruption += air ? q / 20.0f : q / 10.0f;
      const float bearable = t.morale * 0.25f + static_cast<float>(HoldSetting(t)) * 0.25f;
      if (t.disruption > bearable && !(t.unitFlags & kUnitMovesWhileTurning)) {
        UnitReactToAttack(world, t, Position(a));
        t.morale = t.morale * 0.9f;
      }
    }
    if (t.entrenchment != 0) --t.entrenchment;
    t.experience += 0.001f;
    t.morale = t.morale * 0.995f;
    if (loss > 1.0f) {
      t.experience += 0.002f;
      t.morale = t.morale * 0.99f;
    }
  }
  if (facility) {
    if (tc.flags & kClassSettlementPopulation) HitSettlement(world, t, loss, false);
    const auto classNumber = static_cast<uint32_t>(t.classIndex);
    Post(world, t.owner, kMsgFacilityHit, MessageParams{classNumber, Position(t)});
    Post(world, t.owner, kMsgFacilityHitShort, MessageParams{classNumber});
  }
  t.disruption = std::min(1.0f, t.disruption);
  t.unitFlags &= ~kUnitStepped;
  if (t.tableEntry) t.tableEntry->countdown = 0;
}

// What the target's region makes of being fired on by one it is not at war
// with.
void Complain(World& world, const UnitRecord& a, const UnitRecord& t, uint32_t at, uint32_t classNumber) {
  const int owner = t.owner & 31;
  const int firer = a.owner & 31;
  const bool facility = (t.unitFlags & kUnitFacility) != 0;
  const HexCell* cell = CellAt(world, at);
  const int hexOwner = cell ? CellOwner(cell->word) : 0;
  const int code = owner == firer ? 0 : RelationCode(world, owner, firer);
  if (code == 4) {
    if (hexOwner == owner) {
      // The region reacts; a strike it answers as an undeclared attack
      // needs no complaint besides.
      if (ResolveRelations(world, world.players[owner], firer, 3) != 0) return;
      if (facility)
        Post(world, owner, kMsgFacilityFiredOnAtHome, MessageParams{classNumber, at, static_cast<uint32_t>(firer)});
      else
        Post(world, owner, kMsgUnitFiredOnAtHome, MessageParams{static_cast<uint32_t>(firer)});
    } else {
      Post(world, owner, kMsgUnitFiredOnAbroad,
           MessageParams{t.id, static_cast<uint32_t>(hexOwner), static_cast<uint32_t>(firer)});
    }
  } else if (code == 2) {
    if (facility)
      Post(world, owner, kMsgFacilityFiredOnByRelated, MessageParams{classNumber, at, static_cast<uint32_t>(firer)});
    else
      Post(world, owner, kMsgUnitFiredOnByRelated,
           MessageParams{t.id, static_cast<uint32_t>(hexOwner), static_cast<uint32_t>(firer)});
  }
}

}  // namespace

bool CountsAsLandTarget(const World& world, const UnitRecord& target) {
  if (target.kind != kUnitKindAir) return false;
  if ((target.orders[kOrderFlags] & kOrderEngaged) || (target.unitFlags & kUnitMoved)) return false;
  const UnitClassRecord* cls = UnitClassOf(world, target);
  const bool carrierAircraft = cls && cls->movementType == kCarrierAircraft;
  return !carrierAircraft || (target.unitFlags & kUnitInBase) != 0;
}

FireValues UnitFireValues(const World& world, const UnitRecord& a, const UnitRecord& t, int mode) {
  FireValues out;
  out.mode = mode;
  const UnitClassRecord* ac = UnitClassOf(world, a);
  const UnitClassRecord* tc = UnitClassOf(world, t);
  if (!ac || !tc) return out;
  const int type = TargetType(world, t, *tc);
  const HexCell* tcell = CellAt(world, Position(t));
  if (mode == kFireDirect && tc->kind == 0 && !(tc->flags & kClassFacility)) {
    const UnitRecord* lead = CoveringLead(tcell);
    if ((lead && IsFortification(world, *lead)) || (TerrainFlagsAt(world, tcell) & kTerrainCovered))
      out.mode = kFireCovered;
  }
  const float v = Rating(out.mode == kFireCovered ? ac->coveredAttack : ac->attackValues[type]);
  float posture = Posture(TerrainFlagsAt(world, CellAt(world, Position(a))), a);
  if (((a.unitFlags & kUnitMoved) || (a.orders[kOrderFlags] & kOrderMoving)) && (ac->flags & kClassHalvedAirborne))
    posture = posture * 0.5f;
  out.attack = v * v * (a.morale + 0.2f) * (a.efficiency + 0.2f) * (1.01f - a.disruption) * Quality(a) * a.strength *
               posture;
  out.defence = DefenceOf(world, t, *tc, out.mode);
  return out;
}

int UnitFireAtUnit(World& world, UnitRecord& a, UnitRecord& t, int mode, float hitChance) {
  // A target without strength would divide by a defence of 0.
  if (!(t.strength > 0.0f)) return 0;
  const UnitClassRecord* ac = UnitClassOf(world, a);
  const UnitClassRecord* tc = UnitClassOf(world, t);
  const uint32_t at = Position(t);
  a.fireTargetPos = at;
  if (!ac || !tc) return 0;
  const FireValues fv = UnitFireValues(world, a, t, mode);
  float attack = fv.attack;
  if (!(attack > 0.0f) || !(fv.defence > 0.0f)) return 0;

  if (!(a.unitFlags & kUnitFacility) && a.kind < 4) {
    int ready = 0;
    if (const HexCell* own = CellAt(world, Position(a)))
      if (const HexUnitStack* stack = LoadHexStack(*own))
        for (const UnitRecord* u = stack->chainA[a.kind]; u; u = u->nextInChainA) ready += CombatReady(*u) ? 1 : 0;
    if (static_cast<float>(ready) > kCrowdingLimit) attack = attack * (kCrowdingLimit / static_cast<float>(ready));
  }
  if (fv.mode == kFireBombard && tc->strengthPerSize > 0)
    attack = (t.strength / static_cast<float>(tc->strengthPerSize)) * attack * kBombardFactor;
  if ((a.unitFlags & kUnitStock) && !(tc->flags & kClassSpecialImmune)) {
    if (ac->flags & kClassSpecialWeaponB)
      attack = attack * kSpecialFactorB;
    else if (ac->flags & kClassSpecialWeaponA)
      attack = attack * kSpecialFactorA;
  }

  const float d = fv.defence;
  const float r = attack * t.strength / d;
  float p = hitChance;
  if (p < 1.0f) p = std::min(1.0f, 80.0f / (static_cast<float>(tc->targetSize) + 10.0f) * p);
  float loss = std::sqrt(r / 10.0f) * p;
  float cap = t.strength;
  if (!(ac->flags & kClassLongRange))
    cap = std::min(t.strength, ac->strengthPerSize == 1 ? a.strength * 10.0f : a.strength);
  if ((t.unitFlags & kUnitFacility) && loss > 0.0f) loss = loss / 40.0f + loss * t.strength;
  loss = std::min(loss, cap);
  if (loss > 0.0f) ApplyStrengthLoss(world, t, loss);

  const float threshold = tc->strengthPerSize == 1
                              ? ((tc->flags & kClassFacility) ? kSurvivalSingleFacility : kSurvivalSingleItem)
                              : kSurvivalDefault;
  const bool stockTarget = (t.unitFlags & kUnitStock) != 0;
  // A destroyed facility loses its class with its hex's refresh.
  const auto classNumber = static_cast<uint32_t>(t.classIndex);
  if (t.strength >= threshold)
    ResolveSurvival(world, a, t, *tc, fv.mode, attack / d, loss);
  else
    ResolveKill(world, a, t, *tc);
  if (!stockTarget) Complain(world, a, t, at, classNumber);
  CountShotResolved(world);
  return 1;
}

void UnitFireAtHex(World& world, UnitRecord& a, uint32_t position, float hitChance) {
  a.fireTargetPos = position;
  if (!(hitChance > 0.0f)) return;
  HexCell* cell = CellAt(world, position);
  HexUnitStack* stack = cell ? LoadHexStack(*cell) : nullptr;
  if (!stack) return;
  // Shots destroy units and take them out of the chains: walk a copy.
  std::vector<UnitRecord*> targets;
  for (int category : {0, 2})
    for (UnitRecord* u = stack->chainA[category]; u; u = u->nextInChainA) targets.push_back(u);
  float chance = hitChance;
  for (UnitRecord* u : targets) {
    if (!CombatReady(*u) || u->carrier != 0) continue;
    UnitFireAtUnit(world, a, *u, kFireBombard, chance);
    chance = chance * 0.8f;
  }
  UnitRecord* lead = stack->lead;
  if (lead && IsUnitLive(*lead) && !(lead->unitFlags & kUnitProvisional))
    UnitFireAtUnit(world, a, *lead, kFireBombard, chance);
}

float ApplyStrengthLoss(World& world, UnitRecord& u, float loss) {
  if (!(u.strength > 0.0f)) return 0.0f;
  const float f = std::min(1.0f, loss / u.strength);
  u.unitFlags &= ~kUnitFullySupplied;
  u.fuel -= f * u.fuel;
  u.ammo -= f * u.ammo;
  u.supply -= f * u.supply;
  const UnitClassRecord* cls = UnitClassOf(world, u);
  PlayerRecord& owner = world.players[u.owner & 31];
  float v = (cls ? static_cast<float>(cls->valuePerPoint) : 0.0f) * loss;
  const bool facility = (u.unitFlags & kUnitFacility) != 0;
  if (facility) {
    owner.soldiers += 0.9f * v;
    v = 0.1f * v;
  }
  if (v != 0.0f) BookUnitLoss(owner, v);
  if (u.carrier == 0) {
    uint32_t next = u.cargoNext;
    for (int guard = 0; next != 0 && guard < 100000; ++guard) {
      UnitRecord* x = FindUnitById(world, next);
      if (!x || x == &u) break;
      next = x->cargoNext;
      if (x->unitFlags & kUnitStock) {
        if (x->strength > 0.0f) {
          // A stock item is counted whole: the carrier's loss leaves at least one.
          const float left = x->strength - f * x->strength;
          x->strength = left < kStockCargoFloor ? std::min(x->strength, kStockCargoFloor) : left;
        }
      } else {
        v += ApplyStrengthLoss(world, *x, f * x->strength);
      }
    }
  }
  u.strength -= loss;
  if (!facility) return v;

  HexCell* cell = CellAt(world, Position(u));
  if (!cell) return v;
  const TerrainRecord* terrain = TerrainAt(world, cell);
  HexUnitStack* stack = LoadHexStack(*cell);
  if (terrain && cf::TerrainMovement(*terrain, 0) == 0 && stack && stack->extra) {
    for (int slot = 0; slot < 2; ++slot)
      SetHexSlotProgress(*stack->extra, slot, std::min(HexSlotProgress(*stack->extra, slot), u.strength));
  }
  const UnitRecord* lead = stack ? stack->lead : nullptr;
  if (!lead || !CombatReady(*lead)) return v;
  const UnitClassRecord* leadClass = UnitClassOf(world, *lead);
  if (!leadClass || leadClass->baseKind != 0 || leadClass->loadableMask == 0) return v;
  int category = -1;
  if (leadClass->flags & kClassHaven)
    category = 2;
  else if (leadClass->flags & kClassAirBase)
    category = 1;
  else if (leadClass->flags & kClassSettlement)
    category = 0;
  if (category < 0) return v;
  const uint32_t here = Position(u);
  ForEachTableUnit(world.unitTables, kUnitTableReserve, u.owner & 31, category, [&](UnitRecord& held) {
    if (held.tableEntry && held.tableEntry->position == here) v += ApplyStrengthLoss(world, held, f * held.strength);
  });
  ForEachTableUnit(world.unitTables, kUnitTableOnOrder, u.owner & 31, category, [&](UnitRecord& built) {
    if (!built.tableEntry || built.tableEntry->position != here) return;
    const UnitClassRecord* bc = UnitClassOf(world, built);
    if (!bc) return;
    const float s = built.targetStrength >= 1.0f ? built.targetStrength : std::sqrt(std::max(0.0f, built.targetStrength));
    const float cap = static_cast<float>(bc->strengthPerSize) * bc->buildWorkPerPoint * s + 1.0f;
    built.buildWork += f * (cap - built.buildWork);
  });
  return v;
}
