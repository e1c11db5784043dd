#include "units/unit_orders.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "records/unit_record.h"

namespace {

constexpr int kOrderIdWord = 2;
constexpr int kDestinationWord = 3;
constexpr int kFireHexWord = 5;
constexpr int kSecondHexWord = 6;
constexpr int kOptionWord = 13;
constexpr int kSettingsWord = 14;
constexpr int kLevelWord = 10;  // byte 43 is its top byte

uint32_t SetOrClear(uint32_t word, uint32_t mask, uint32_t set) { return set ? (word | mask) : (word & ~mask); }

uint8_t Level(const OrderBlock& o) { return static_cast<uint8_t>(o[kLevelWord] >> 24); }
void SetLevel(OrderBlock& o, uint8_t v) { o[kLevelWord] = (o[kLevelWord] & 0x00FFFFFFu) | (uint32_t{v} << 24); }

}  // namespace

OrderBlock& PassOrders(UnitRecord& unit, int pass) { return pass == 0 ? unit.ordersShown : unit.orders; }

void UnitSetOrderDword11(World&, UnitRecord& unit, int pass, uint32_t mask, uint32_t set) {
  OrderBlock& o = PassOrders(unit, pass);
  if ((mask & (kStateModeC | kStatePausedBuild)) && !(o[kPostureBits] & kPostureUnderConstruction)) mask = 0;
  o[kStateFlags] = SetOrClear(o[kStateFlags], mask, set);
  if (pass == 1) unit.unitFlags2 &= ~kUnit2Bit8;
}

void ValidateMoveOrderA(World&, UnitRecord& unit, int pass, uint32_t packedHex) {
  PassOrders(unit, pass)[kDestinationWord] = packedHex;
}

void AssignUnitRoute(World&, UnitRecord& unit, int pass, std::vector<uint8_t>& payload) {
  if (pass != 1 || payload.size() != sizeof(PathRequestImage)) return;
  auto route = std::make_unique<PathRequest>();
  std::memcpy(static_cast<PathRequestImage*>(route.get()), payload.data(), sizeof(PathRequestImage));
  // The step buffer the sender's route pointed at stays with the sender.
  route->stepsSlot = 0;
  unit.route = std::move(route);
  payload.clear();
  payload.shrink_to_fit();
}

void AssignRouteSteps(World&, UnitRecord& unit, int pass, std::vector<uint8_t>& payload) {
  if (pass != 1 || !unit.route) return;
  unit.route->steps = std::move(payload);
  payload.clear();
}

void UnitSetOrderDword5(World&, UnitRecord& unit, int pass, uint32_t packedHex) {
  PassOrders(unit, pass)[kFireHexWord] = packedHex;
}

void UnitSetOrderDword7(World&, UnitRecord& unit, int pass, const UnitRecord* target) {
  PassOrders(unit, pass)[kFireUnit] = target ? target->id : 0;
}

void UnitSetOrderDword8(World&, UnitRecord& unit, int pass, const UnitRecord* partner) {
  PassOrders(unit, pass)[kLeaderUnit] = partner ? partner->id : 0;
  if (pass == 1 && (unit.unitFlags & kUnitFollowsLeader)) unit.unitFlags &= ~(kUnitFollowsLeader | kUnitInBase);
}

void UnitSetOrderDword6(World&, UnitRecord& unit, int pass, uint32_t packedHex) {
  PassOrders(unit, pass)[kSecondHexWord] = packedHex;
}

void UnitSetOrderDword13Bits(World&, UnitRecord& unit, int pass, uint32_t mask, uint32_t set) {
  OrderBlock& o = PassOrders(unit, pass);
  o[kOptionWord] = SetOrClear(o[kOptionWord], mask, set);
}

void UnitSetOrderDword13(World&, UnitRecord& unit, int pass, uint32_t value) {
  PassOrders(unit, pass)[kOptionWord] = value | 0x80000000u;
}

void UnitSetOrderSetting(World&, UnitRecord& unit, int pass, uint32_t field, uint32_t value) {
  if (field > 15) return;
  OrderBlock& o = PassOrders(unit, pass);
  const uint32_t shift = 2 * field;
  o[kSettingsWord] = (o[kSettingsWord] & ~(3u << shift)) | ((value & 3u) << shift);
}

void UnitSetOrderByte43(World&, UnitRecord& unit, int pass, uint32_t value) {
  SetLevel(PassOrders(unit, pass), static_cast<uint8_t>(value));
}

void UnitAddOrderByte43(World&, UnitRecord& unit, int pass, int32_t delta) {
  OrderBlock& o = PassOrders(unit, pass);
  const int64_t level = std::clamp<int64_t>(int64_t{Level(o)} + delta, 0, 255);
  SetLevel(o, static_cast<uint8_t>(level));
}

void UnitSetOrderDword2(World&, UnitRecord& unit, int pass, uint32_t value) {
  PassOrders(unit, pass)[kOrderIdWord] = value;
}

void UnitSetOrderDword14(World&, UnitRecord& unit, int pass, uint32_t value) {
  PassOrders(unit, pass)[kSettingsWord] = value;
}

void UnitSetOrderDword15Bit2(World&, UnitRecord& unit, int pass, uint32_t value) {
  OrderBlock& o = PassOrders(unit, pass);
  o[kPostureBits] = (o[kPostureBits] & ~4u) | ((value & 1u) << 2);
}
