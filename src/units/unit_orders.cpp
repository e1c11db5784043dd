#include "units/unit_orders.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "world/movement_rates.h"
#include "world/unit_class.h"
#include "units/unit_player_fields.h"
#include "world/unit_ring.h"
#include "world/hex_extra.h"
#include "world/world.h"

namespace {

constexpr int kLevelWord = kOrderLevelByte / 4;  // the level is its top byte

uint32_t SetOrClear(uint32_t word, uint32_t mask, uint32_t set) { return set ? (word | mask) : (word & ~mask); }

uint8_t Level(const OrderBlock& o) { return static_cast<uint8_t>(o[kLevelWord] >> 24); }
void SetLevel(OrderBlock& o, uint8_t v) { o[kLevelWord] = (o[kLevelWord] & 0x00FFFFFFu) | (uint32_t{v} << 24); }

}  // namespace

OrderBlock& PassOrders(UnitRecord& unit, int pass) { return pass == 0 ? unit.ordersShown : unit.orders; }

void AddOrderFlags(World&, UnitRecord& unit, int pass, uint32_t flags, uint32_t mask) {
  OrderBlock& o = PassOrders(unit, pass);
  o[kOrderFlags] |= flags;
  o[kOrderMask] |= mask;
  if (pass != 1) return;
  unit.unitFlags &= ~kUnitStepped;
  if (unit.tableEntry) unit.tableEntry->countdown = 0;
}

void UnitSetStateBits(World& world, UnitRecord& unit, int pass, uint32_t mask, uint32_t set) {
  OrderBlock& o = PassOrders(unit, pass);
  if ((mask & (kStateModeC | kStatePausedBuild)) && !(o[kPostureBits] & kPostureUnderConstruction)) mask = 0;
  const bool givesUpSlot = pass == 1 && !set && (mask & kStateHeldSlot) && (o[kStateFlags] & kStateHeldSlot);
  o[kStateFlags] = SetOrClear(o[kStateFlags], mask, set);
  if (pass != 1) return;
  unit.unitFlags2 &= ~kUnit2Bit8;
  if (!givesUpSlot) return;
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  if (cls && cls->typeByte == unitfields::kTypeEightClass) {
    const auto at = unitfields::kTypeEightCount;
    PlayerRecord& owner = world.players[unit.owner & 31];
    const auto count = static_cast<uint16_t>(unitfields::Short(owner, at));
    if (count > 0) unitfields::SetShort(owner, at, static_cast<int16_t>(count - 1));
    return;
  }
  HexCell* cell = UnitHexCell(world, unit);
  HexUnitStack* stack = cell ? LoadHexStack(*cell) : nullptr;
  if (stack && stack->lead && stack->lead->leadValue > 0) --stack->lead->leadValue;
}

void UnitSetDestination(World& world, UnitRecord& unit, int pass, uint32_t packedHex) {
  PassOrders(unit, pass)[kDestination] = packedHex;
  if (pass == 1) RecomputeMovementRates(world, unit, SpeedSource::kOrderedSetting);
}

void AssignUnitRoute(World& world, UnitRecord& unit, int pass, std::vector<uint8_t>& payload) {
  if (pass != 1 || payload.size() != sizeof(PathRequestImage)) return;
  auto route = std::make_unique<PathRequest>();
  std::memcpy(static_cast<PathRequestImage*>(route.get()), payload.data(), sizeof(PathRequestImage));
  // The step buffer the sender's route pointed at stays with the sender:
  // without its steps the route waits for a search of its way.
  route->stepsSlot = 0;
  route->stepCount = 0;
  route->stepIndex = 0;
  unit.route = std::move(route);
  payload.clear();
  payload.shrink_to_fit();
  RecomputeMovementRates(world, unit, SpeedSource::kOrderedSetting);
}

bool AssignRouteSteps(World& world, UnitRecord& unit, int pass, std::vector<uint8_t>& payload) {
  if (pass != 1 || !unit.route) return true;
  PathRequest& route = *unit.route;
  if (payload.empty()) {
    route.steps.clear();
    route.steps.shrink_to_fit();
    route.stepCount = 0;
    route.stepIndex = 0;
  } else {
    if (payload.size() < route.stepCount) return false;
    route.steps = std::move(payload);
    payload.clear();
  }
  RecomputeMovementRates(world, unit, SpeedSource::kOrderedSetting);
  return true;
}

void UnitSetFireHex(World&, UnitRecord& unit, int pass, uint32_t packedHex) {
  PassOrders(unit, pass)[kFireHex] = packedHex;
}

void UnitSetFireUnit(World&, UnitRecord& unit, int pass, const UnitRecord* target) {
  PassOrders(unit, pass)[kFireUnit] = target ? target->id : 0;
}

void UnitSetLeaderUnit(World&, UnitRecord& unit, int pass, const UnitRecord* partner) {
  PassOrders(unit, pass)[kLeaderUnit] = partner ? partner->id : 0;
  if (pass == 1 && (unit.unitFlags & kUnitFollowsLeader)) unit.unitFlags &= ~(kUnitFollowsLeader | kUnitInBase);
}

void UnitSetSecondHex(World&, UnitRecord& unit, int pass, uint32_t packedHex) {
  PassOrders(unit, pass)[kSecondHex] = packedHex;
}

void UnitSetOrdersHeaderBits(World&, UnitRecord& unit, int pass, uint32_t mask, uint32_t set) {
  OrderBlock& o = PassOrders(unit, pass);
  o[kOrdersHeader] = SetOrClear(o[kOrdersHeader], mask, set);
}

void UnitSetOrdersHeader(World&, UnitRecord& unit, int pass, uint32_t value) {
  PassOrders(unit, pass)[kOrdersHeader] = value | 0x80000000u;
}

void UnitSetOrderSetting(World&, UnitRecord& unit, int pass, uint32_t field, uint32_t value) {
  if (field > 15) return;
  OrderBlock& o = PassOrders(unit, pass);
  const uint32_t shift = 2 * field;
  o[kOrdersWord] = (o[kOrdersWord] & ~(3u << shift)) | ((value & 3u) << shift);
}

void UnitSetOrderLevel(World&, UnitRecord& unit, int pass, uint32_t value) {
  SetLevel(PassOrders(unit, pass), static_cast<uint8_t>(value));
}

void UnitAddOrderLevel(World&, UnitRecord& unit, int pass, int32_t delta) {
  OrderBlock& o = PassOrders(unit, pass);
  const int64_t level = std::clamp<int64_t>(int64_t{Level(o)} + delta, 0, 255);
  SetLevel(o, static_cast<uint8_t>(level));
}

void UnitSetOrderId(World&, UnitRecord& unit, int pass, uint32_t value) {
  PassOrders(unit, pass)[kOrderId] = value;
}

void UnitSetOrdersWord(World&, UnitRecord& unit, int pass, uint32_t value) {
  PassOrders(unit, pass)[kOrdersWord] = value;
}

void UnitSetNoAutoDeploy(World&, UnitRecord& unit, int pass, uint32_t value) {
  OrderBlock& o = PassOrders(unit, pass);
  o[kPostureBits] = (o[kPostureBits] & ~kPostureNoAutoDeploy) | ((value & 1u) ? kPostureNoAutoDeploy : 0u);
}
