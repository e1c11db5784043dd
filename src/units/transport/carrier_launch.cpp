#include "units/transport/carrier_launch.h"

#include <algorithm>
#include <cmath>

#include "app/game_math.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/le_bytes.h"
#include "records/player_kinds.h"
#include "records/player_relations.h"
#include "records/unit_record.h"
#include "sim/command_counts.h"
#include "records/command_ids.h"
#include "net/command_network.h"
#include "sim/game_command.h"
#include "world/relation_fields.h"
#include "sim/sim_ui_link.h"
#include "units/class_fields.h"
#include "units/combat/fire_sight.h"
#include "units/hex_geometry.h"
#include "units/paths/move_restart.h"
#include "world/movement_rates.h"
#include "units/order_cancel.h"
#include "units/combat/unit_attack.h"
#include "world/unit_class.h"
#include "units/combat/unit_combat_step.h"
#include "units/unit_player_fields.h"
#include "units/step/unit_step_phases.h"
#include "units/unit_transfer.h"
#include "units/transport/cargo_boarding.h"
#include "units/transport/launch_verdict.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/scenario_settings.h"
#include "world/world.h"
#include "records/unit_table_arrays.h"
#include "sim/network_command_args.h"
#include "sim/relation_command_args.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "records/player_policy.h"
#include "world/unit_class_flags.h"
#include "world/movement_types.h"

namespace {

namespace cf = classfields;
namespace uf = unitfields;

constexpr uint8_t kCarrierBaseByte = 2;  // a carrier's class byte 70 that launches like a facility
constexpr uint8_t kFacilityLaunchBit = 0x10;
constexpr int kSalvoMax = 10;
constexpr float kExperiencePerLaunch = 0.001f;
// The provocation mask of a region (the record's word at 14476): the
// regions that struck it while it was neutral toward them.
constexpr size_t kRecordProvocationMask = 14476;

// Launch sound number (class byte 188).

uint32_t RelationOf(const World& world, int from, int to) {
  return RelationClassOf(world.players[from & 31], 1, to & 31);
}

// Drops the stock's orders (and the carrier's target, when the carrier was
// told to launch): the launch cannot be made.
void Abandon(World& world, UnitRecord& stock, UnitRecord& carrier) {
  CancelAllOrders(world, stock, 1);
  if (carrier.orders[kOrderFlags] & kOrderLaunchCargo) CancelUnitTarget(world, carrier, 1);
}

enum class Check { kGo, kWait, kAbandon };

// The checks before a launch, as the screens judge it too; the target
// unit's position becomes the stock's target hex. The bar is kept for the
// caller that tells the owner why.
Check CheckLaunch(World& world, UnitRecord& stock, LaunchBar& bar) {
  OrderBlock& o = stock.orders;
  if (o[kFireUnit] != 0)
    if (const UnitRecord* target = FindUnitById(world, o[kFireUnit]); target && IsUnitLive(*target) && target->carrier == 0)
      o[kFireHex] = unitbytes::UnitPosition(*target);
  const LaunchVerdict v = JudgeLaunch(world, stock, o[kFireHex], o[kFireUnit], false);
  bar = v.bar;
  if (bar == LaunchBar::kNone) {
    // A hex without a facility is struck through the enemy standing there.
    if (o[kFireUnit] == 0 && v.unit != 0) o[kFireUnit] = v.unit;
    return Check::kGo;
  }
  return LaunchBarAbandons(bar) ? Check::kAbandon : Check::kWait;
}

}  // namespace

void SetLaunchedGroupSpeed(World& world, UnitRecord& group, const UnitClassRecord& cls) {
  group.moveRate = 0.0f;
  group.rateRatio = 0.0f;
  group.speedFactor = 0.0f;
  const int16_t classSpeed = cls.speed;
  const float hexSize = static_cast<float>(static_cast<int32_t>(world.mapHeader.hexScale));
  if (classSpeed == 0) return;
  if (!(hexSize > 0.0f)) {
    group.rangeLeft = 0;
    return;
  }
  if (OrderSpeedPercent(group.orders) == 0) SetOrderSpeedPercent(group.orders, 100);
  float p = static_cast<float>(OrderSpeedPercent(group.orders)) / 100.0f;
  const int movementType = cls.movementType;
  if (movementType == kCarrierAircraft && (group.unitFlags & kUnitSpeedBonus)) p = std::min(p, 0.5f);
  const float v = static_cast<float>(classSpeed) * 12.0f;
  const float k = v <= 12000.0f ? 1.0f : std::sqrt(12000.0f / v);
  const float base = v / hexSize / 1440.0f * 22.0f;
  float speed = base;
  if (movementType == kCarrierAircraft)
    speed = base / 4.0f * k;
  else if (cls.kind == kUnitKindAir)
    speed = base / 2.0f * k;
  group.moveRate = speed * p * world.mapHeader.scale;
  group.rateRatio = base > 0.0f ? group.moveRate / base : 0.0f;
  group.speedFactor = std::max(p, 1.0f);
  if ((group.unitFlags & kUnitSpeedBonus) && !(cls.flags & kClassStock)) group.speedFactor *= 1.5f;
  StepReach(world, group, cls);
}

namespace {

// The diplomatic notice of a strike on a neutral region.
void NoticeStrike(World& world, int me, int struck) {
  // Only a strike on a neutral region is news: an enemy expects it.
  if (struck <= 0 || struck >= kMaxPlayers || RelationOf(world, me, struck) != kRelationNeutral) return;
  PlayerRecord& other = world.players[struck];
  SetRecordWord(other, kRecordProvocationMask, RecordWord(other, kRecordProvocationMask) | (1u << me));
  if (me != world.gameState.localPlayer) {
    const int32_t kind = world.players[me].kind;
    if (kind == kKindEmpty || kind == kKindOut) return;
    if (IsNetworkGame(g_commandNet)) {
      if (g_commandNet.role != kNetGameHost) return;
      const uint32_t slot = world.players[me].networkSlot;
      if (slot < static_cast<uint32_t>(kMaxPlayers) && world.slotTable[slot].state == kSlotHuman) return;
    }
  }
  // Posted from the turn thread under the simulation lock: the notice's
  // display pass takes only the command-log lock.
  PostArgsAs(kCmdDeclareWar, me, RegionArgs{.region = static_cast<uint32_t>(struck)});
}

}  // namespace

int LaunchSalvoSize(float carrierStrength, uint16_t cargoSlots) {
  const float v = std::max(static_cast<float>(cargoSlots) * carrierStrength / 24.0f, carrierStrength / 2.0f);
  const int32_t n = CheckedTrunc(v);
  if (n == INT32_MIN) return v > 0.0f ? kSalvoMax : 1;
  return std::clamp(n, 1, kSalvoMax);
}

int LaunchFromCarrier(World& world, UnitRecord& stock, int count, LaunchBar* why) {
  LaunchBar bar = LaunchBar::kNoMissile;
  if (why) *why = bar;
  if (stock.carrier == 0 || count < 1) return 0;
  UnitRecord* carrier = FindUnitById(world, stock.carrier);
  const UnitClassRecord* cls = UnitClassOf(world, stock);
  const UnitClassRecord* carrierClass = carrier ? UnitClassOf(world, *carrier) : nullptr;
  if (!carrier || !cls || !carrierClass) return 0;
  const uint8_t needed = carrierClass->baseKind == kCarrierBaseByte ? kFacilityLaunchBit
                                                                         : static_cast<uint8_t>(1u << (carrier->kind & 7));
  if (!(cls->loadableMask & needed)) return 0;
  if (!(stock.strength >= 1.0f)) return 0;
  OrderBlock& o = stock.orders;
  if (o[kFireUnit] == 0 && o[kFireHex] == kNoHexPosition) {
    o[kFireUnit] = carrier->orders[kFireUnit];
    o[kFireHex] = carrier->orders[kFireHex];
    o[kOrderFlags] |= carrier->orders[kOrderFlags] & kOrderHexFacility;
  }
  const Check check = CheckLaunch(world, stock, bar);
  if (why) *why = bar;
  switch (check) {
    case Check::kAbandon: Abandon(world, stock, *carrier); return 0;
    case Check::kWait: return 0;
    case Check::kGo: break;
  }

  const int me = stock.owner & 31;
  PlayerRecord& owner = world.players[me];
  carrier->orders[kOrderFlags] |= kOrderEngaged;
  carrier->unitFlags &= ~kUnitInBase;
  if (carrier->byte71 == 0)
    carrier->byte71 = static_cast<uint8_t>(LaunchSalvoSize(carrier->strength, carrierClass->cargoSlots));
  const int32_t whole = std::max(0, CheckedTrunc(stock.strength));
  const int n = std::min({static_cast<int>(carrier->byte71), count, static_cast<int>(whole)});
  if (n < 1) return 0;
  carrier->byte71 = static_cast<uint8_t>(carrier->byte71 > n ? carrier->byte71 - n : 0);
  if (carrier->byte71 == 0) carrier->reloadTime = UnitReloadTime(*carrier, cls->reloadFactor);
  carrier->experience += kExperiencePerLaunch;
  carrier->unitFlags &= ~kUnitFullySupplied;

  const uint32_t carrierAt = unitbytes::UnitPosition(*carrier);
  const uint32_t rules = world.scenario.head.gameFlags;
  if (me == world.gameState.localPlayer || !(rules & kGameFlagFog) ||
      SideSpotsHex(world, carrierAt, world.gameState.localPlayer))
    PlayMilitarySound(cls->fireSounds[0]);

  stock.strength -= static_cast<float>(n);
  if (stock.strength < 1.0f) stock.strength = 0.0f;
  uf::AddShort(owner, uf::kLoadedStock + 2 * static_cast<size_t>(StockKindOf(*cls)), -n);

  UnitRecord* group = SpawnInService(world, owner, stock.classIndex, n, 0);
  if (!group) return 0;
  for (const int word : {kFireHex, kFireUnit, kOrderFlags, kOrderMask, kStateFlags, kOrdersHeader})
    group->orders[word] = o[word];
  group->heading = group->wantedHeading = group->angle2 = group->wantedAngle2 = carrier->heading;
  SetLaunchedGroupSpeed(world, *group, *cls);
  if (UnitCombatStep(world, *group, carrierAt, 0) != 0) UnitResetMoveState(world, 1, *group, o[kFireHex], 0);

  int struck = 0;
  if (!(cls->flags & kClassLongRange) && o[kFireUnit] != 0) {
    if (const UnitRecord* target = FindUnitById(world, o[kFireUnit])) struck = target->owner & 31;
  } else if (const HexCell* cell = HexCellAt(world, MapShape(world), o[kFireHex])) {
    struck = CellOwner(cell->word);
  }
  NoticeStrike(world, me, struck);
  return n;
}

uint32_t LaunchHeldMessage(const World& world, const UnitRecord& stock, const UnitClassRecord& cls) {
  const uint32_t roe = world.players[stock.owner & 31].simPolicy.roeFlags;
  if ((cls.flags & (kClassSpecialWeaponA | kClassSpecialWeaponB)) && !(roe & kRoeLaunchSpecialWeapons))
    return kMsgLaunchHeldNuclear;
  if ((cls.flags & kClassSpecialImmune) && !(roe & kRoeLaunchFirstSpecialKind)) return kMsgLaunchHeldChemical;
  return 0;
}

void TellLaunchHeld(World& world, const UnitRecord& stock, uint32_t message) {
  MessageParams params;
  params.p1 = stock.id;
  PostPlayerMessage(world, world.players[stock.owner & 31], stock.owner & 31, message, nullptr, params);
}
