// The daily build queue: units and stock on order pay for their build and
// come closer to completion each day, and complete units go to the reserve.
#include <algorithm>

#include "app/game_math.h"
#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "sim/command_counts.h"
#include "records/command_ids.h"
#include "sim/command_log.h"
#include "net/command_network.h"
#include "sim/command_post.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "sim/unit_command_args.h"
#include "units/facilities/build_yard.h"
#include "units/class_fields.h"
#include "units/hex_stack_commands.h"
#include "units/facilities/military_upkeep.h"
#include "units/facilities/military_upkeep_steps.h"
#include "units/order_cancel.h"
#include "world/day_tallies.h"
#include "world/unit_build_charge.h"
#include "world/unit_class.h"
#include "units/unit_command_handlers.h"
#include "world/unit_create.h"
#include "units/unit_deploy.h"
#include "units/unit_player_fields.h"
#include "world/unit_ring.h"
#include "world/unit_tables.h"
#include "units/facilities/upkeep_fields.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace uf = unitfields;
namespace kf = upkeepfields;

namespace {

constexpr int kBuildCategories[] = {0, 1, 2, 3, kUnitCategoryStock};
// Of its full build cost, what a paused unit gets back each day.
constexpr float kPausedRecovery = 200.0f;

// D: the unit's whole build cost.
float FullBuildCost(const UnitRecord& unit, const UnitClassRecord& cls) {
  return UnitBuildWork(cls, unit.targetStrength);
}

// Whether a command the upkeep makes for the player is posted here: for
// the local player, and for a region in the game whose commands this
// machine makes (any in a local game; on the host all but those a person
// holds through a network slot).
bool PostsFor(const World& world, int player) {
  if (player == world.gameState.localPlayer) return true;
  const PlayerRecord& r = world.players[player & 31];
  if (!TakesPart(r)) return false;
  if (!IsNetworkGame(g_commandNet)) return true;
  if (g_commandNet.role != kNetGameHost) return false;
  const uint32_t slot = r.networkSlot;
  return !(slot != 0 && slot < static_cast<uint32_t>(kMaxPlayers) && world.slotTable[slot].state == kSlotHuman);
}

// The order for the next unit like this one (command 272), for the unit's
// controller.
void OrderNextUnit(World& world, const UnitRecord& unit, uint32_t flags) {
  const int player = unit.controller & 31;
  if (!PostsFor(world, player)) return;
  CommandLog* log = CommandLogOf(world);
  if (!log) return;
  GameCommand c = MakeGameCommand(world.gameState, kCmdCreateUnit, player);
  SetArgWords(c, NewUnitArgs{.position = unitbytes::UnitPosition(unit),
                             .classIndex = static_cast<uint32_t>(unit.classIndex),
                             .size = unit.targetStrength,
                             .flags = flags}
                     .Pack());
  PostCommand(*log, std::move(c), true);
}

// The create flags of the next unit like this one, from its state word as
// it stood when it was finished.
uint32_t CreateFlagsOf(const UnitRecord& unit, uint32_t state) {
  uint32_t flags = kCreateStateBitB;
  if (unit.orders[kOrdersHeader] & kHeaderLaunchAllowed) flags |= kCreateHeaderBit;
  if (state & kStateDeployRefused) flags |= kCreateStateBitA;
  return flags;
}

void Tell(World& world, PlayerRecord& owner, uint32_t type, uint32_t p1) {
  PostPlayerMessage(world, owner, owner.number, type, nullptr, MessageParams{p1});
}

void FinishUnit(World& world, PlayerRecord& owner, UnitRecord& unit, const UnitClassRecord& cls) {
  unit.orders[kPostureBits] &= ~kPostureUnderConstruction;
  unit.buildWork = 0.0f;
  // Cancelling the orders clears the state word: what it asked for on
  // completion, and the slot it holds, are taken first.
  const uint32_t state = unit.orders[kStateFlags];
  ReleaseBuildSlot(world, unit, cls);
  CancelAllOrders(world, unit, 0);
  CancelAllOrders(world, unit, 1);
  unit.classDay = world.gameState.currentDay;
  AppendUnitPtr(world, kUnitTableReserve, unit.owner & 31, UnitTableCategory(unit), unit);
  unit.efficiency += owner.militarySpendIndex / 5.0f;
  unit.training = owner.militarySpendIndex;
  unit.orders[kOrdersHeader] = uf::DefaultOrdersHeader(owner);
  unit.orders[kOrdersWord] = uf::DefaultOrdersWord(owner);
  unit.orders[kStateFlags] |= kStateCanRefuel;
  if (unit.moveKind != 0) unit.unitFlags |= kUnitInBase;
  if (state & kStateDeployDue) OrderNextUnit(world, unit, CreateFlagsOf(unit, state));
  if (!(state & kStateDeployRefused)) {
    Tell(world, owner, kMsgUnitCompleted, unit.id);
    return;
  }
  if (static_cast<float>(cls.valuePerPoint) * unit.strength > owner.soldiers) {
    Tell(world, owner, kMsgUnitCompletedOverBudget, unit.id);
    Tell(world, owner, kMsgForceBudgetExceeded, 0);
    return;
  }
  ScheduleUnit(world, unit, 0);
  ScheduleUnit(world, unit, 1);
  Tell(world, owner, kMsgUnitCompletedDeployed, unit.id);
}

void FinishStock(World& world, PlayerRecord& owner, UnitRecord& unit, const UnitClassRecord& cls) {
  OrderBlock& o = unit.orders;
  uint32_t option = 0;
  if (o[kOrdersHeader] & kHeaderLaunchAllowed) option |= kFindLaunchAllowed;
  if (o[kStateFlags] & kStateDeployRefused) option |= 1u;
  const uint32_t search = (cls.flags & kClassSpecialKinds) ? 0u : option;
  // The next batch starts at once.
  unit.buildWork = FullBuildCost(unit, cls);
  o[kPostureBits] |= kPostureUnderConstruction;
  UnitRecord* pool = nullptr;
  if (o[kLeaderUnit] == 0) pool = FindInPlayerUnitList(world, owner, unit.classIndex, search, 0);
  if (pool == &unit) pool = nullptr;
  const bool loadBay = (cls.loadableMask & 0x10) != 0;
  if (pool) {
    pool->strength += unit.strength;
    const size_t at = (loadBay ? kf::kStockInReserveB : kf::kStockInReserve) + 2 * StockKindOf(cls.flags);
    kf::AddWord(owner, at, CheckedTrunc(unit.strength));
  } else {
    AppendUnitPtr(world, kUnitTableReserve, unit.owner & 31, kUnitCategoryStock, unit);
    unit.buildWork = 0.0f;
    o[kPostureBits] &= ~kPostureUnderConstruction;
  }
  const bool producing = (o[kStateFlags] & kStateDeployDue) != 0;
  if (producing && !pool) {
    OrderNextUnit(world, unit, kCreateStateBitB | option);
    o[kStateFlags] &= ~kStateDeployDue;
  } else if (!producing && pool) {
    unit.strength = 0.0f;
    MarkUnitGone(world, unit);
  }
  // A merged unit that goes on producing gives its slot back and takes one
  // again tomorrow; every other unit is done with it.
  ReleaseBuildSlot(world, unit, cls);
  if ((o[kStateFlags] & kStateDeployRefused) && !pool && !loadBay) {
    o[kOrderFlags] |= kOrderLoadInto;
    unit.unitFlags &= ~kUnitStepped;
    if (unit.tableEntry) unit.tableEntry->countdown = 0;
    unitbytes::SetOrderLevel(o, 255);
    CountUnitOrder(world, unit, 1);
  }
}

// One unit of the queue for the day.
void BuildOneDay(World& world, PlayerRecord& owner, UnitRecord& unit, const UnitClassRecord& cls) {
  OrderBlock& o = unit.orders;
  const bool typeEight = cls.typeByte == uf::kTypeEightClass;
  bool paused = (o[kStateFlags] & kStatePausedBuild) || (typeEight && (kf::Byte(owner, kf::kSlotPause) & 1u));
  ReleaseBuildSlot(world, unit, cls);
  HexCell* cell = UnitHexCell(world, unit);
  UnitRecord* yard = !typeEight && cell ? BuildYardOn(world, *cell) : nullptr;
  if (!typeEight && !yard) paused = true;
  const float d = FullBuildCost(unit, cls);
  // A class whose costs make the build cost nothing or less is bad data:
  // its units make no progress.
  if (!(d > 0.0f)) return;
  if (paused) {
    if (unit.buildWork < d) unit.buildWork = std::min(unit.buildWork + d / kPausedRecovery, d);
    return;
  }
  bool slot = false;
  if (typeEight) {
    const int32_t limit = CheckedTrunc(uf::Real(owner, kf::kSlotLimit) + 0.9f);
    if (uf::Short(owner, uf::kTypeEightCount) < limit) {
      uf::AddShort(owner, uf::kTypeEightCount, 1);
      slot = true;
    }
  } else if (const UnitClassRecord* yardClass = UnitClassOf(world, *yard)) {
    if (yard->leadValue < yardClass->loadableMask) slot = LeadUnitAddValue(world, *cell, 1) >= 0;
  }
  if (!slot) return;
  o[kStateFlags] |= kStateHeldSlot;
  float r = typeEight ? 1.0f : yard->strength;
  const int32_t setting = owner.simPolicy.defcon;
  if (setting > 2) r = (static_cast<float>(setting - 2) / 8.0f * BuildRateFactor(owner) + 1.0f) * r;
  const float f = static_cast<float>(cls.strengthPerSize);
  const float supplyCost = (SeaHalf(cls) * cls.weight * unit.targetStrength * f + 0.9f) / d * r;
  const float secondCost = UnitBuildCharge(cls, unit.targetStrength) / d * r;
  uf::SetProductReal(owner, uf::kSupplyProduct, kProductAskedAt,
                     uf::ProductReal(owner, uf::kSupplyProduct, kProductAskedAt) + supplyCost);
  if (uf::SupplyStock(owner) < supplyCost) return;
  if (owner.treasury < secondCost) {
    kf::AddReal(owner, kf::kBuildShortfall, secondCost);
    return;
  }
  uf::SetSupplyStock(owner, uf::SupplyStock(owner) - supplyCost);
  uf::SetProductReal(owner, uf::kSupplyProduct, kProductDeliveredAt,
                     uf::ProductReal(owner, uf::kSupplyProduct, kProductDeliveredAt) + supplyCost);
  ChargeTreasury(world, owner, Ledger::kUnitPurchases, secondCost);
  kf::AddReal(owner, kf::kBuildSpent, secondCost);
  unit.buildWork -= r;
}

}  // namespace

void RunBuildQueue(World& world, int player) {
  PlayerRecord& owner = world.players[player & 31];
  for (int category : kBuildCategories) {
    ForEachTableUnit(world.unitTables, kUnitTableOnOrder, player, category, [&](UnitRecord& unit) {
      const UnitClassRecord* cls = UnitClassOf(world, unit);
      if (!cls || !(unit.strength > 0.0f)) return;
      BuildOneDay(world, owner, unit, *cls);
      if (unit.buildWork < 1.0f && (unit.orders[kPostureBits] & kPostureUnderConstruction)) {
        if (cls->flags & kClassStock)
          FinishStock(world, owner, unit, *cls);
        else
          FinishUnit(world, owner, unit, *cls);
      }
      if (unit.pendingOrders == 0) unit.ordersShown = unit.orders;
      if (IsUnitLive(unit) && (unit.orders[kPostureBits] & kPostureUnderConstruction) && !(cls->flags & kClassStock))
        kf::AddWord(owner, kf::kUnitsInBuild + 2 * static_cast<size_t>(category), 1);
      FoldFreeCapacity(world, owner, unit, *cls);
    });
  }
}
