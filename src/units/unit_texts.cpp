#include "units/unit_texts.h"

#include <cstdio>

#include "app/duration_text.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "units/class_fields.h"
#include "units/hex_geometry.h"
#include "units/unit_short_status.h"
#include "world/unit_class.h"
#include "world/hex_extra.h"
#include "world/text/rule_tables.h"
#include "world/world.h"
#include "world/movement_types.h"

namespace {

constexpr size_t kPlaceLength = 47;
constexpr float kSuppressionShown = 0.05f;
constexpr float kSuppressionHigh = 0.5f;
constexpr float kSuppressionFull = 0.98f;

std::string OrderName(const World& world, uint32_t orderId) {
  if (orderId >= static_cast<uint32_t>(kOrderTypeCount)) return std::string();
  return RuleTablesOf(world).orderTypes.entries[orderId].name.c_str();
}

std::string ProgrammeName(const World& world, int level) {
  if (level < 0 || level >= kTrainingTypeCount) return std::string();
  return RuleTablesOf(world).trainingTypes.entries[level].name.c_str();
}

// A landed aircraft: an air unit not engaged and not moving, of a class that
// does not fly on its own or sitting in its base.
bool Landed(const World& world, const UnitRecord& unit) {
  if (unit.kind != 1 || (unit.orders[kOrderFlags] & kOrderEngaged) || (unit.unitFlags & kUnitMoved)) return false;
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  const uint8_t movement = cls ? cls->movementType : 0;
  return movement != kCarrierAircraft || (unit.unitFlags & kUnitInBase);
}

std::string Format(const char* format, const std::string& a) {
  char text[160];
  std::snprintf(text, sizeof text, format, a.c_str());
  return text;
}

}  // namespace

std::string HexPositionText(const World& world, uint32_t position) {
  const HexMapShape map = MapShape(world);
  const int64_t index = HexCellIndex(map, position);
  if (index >= 0) {
    const HexUnitStack* stack = LoadHexStack(world.cells[static_cast<size_t>(index)]);
    const HexExtra* extra = stack ? stack->extra : nullptr;
    if (extra && extra->text && extra->text[0] != '\0') return std::string(extra->text).substr(0, kPlaceLength);
  }
  int32_t x = static_cast<int16_t>(position & 0xFFFFu);
  const int32_t y = static_cast<int16_t>(position >> 16);
  if (map.wraps && map.width > 0) x = ((x % map.width) + map.width) % map.width;
  char text[32];
  std::snprintf(text, sizeof text, "X:%03d Y:%03d", x, y);
  return text;
}

std::string UnitPositionText(const World& world, const UnitRecord& unit) {
  if (unit.x == 0 && unit.y == 0) return "CARGO";
  return HexPositionText(world, unitbytes::UnitPosition(unit));
}

UnitShortStatus UnitStatusShortParts(const World& world, const UnitRecord& unit) {
  const uint32_t flags = unit.unitFlags;
  const uint32_t state = unit.orders[kStateFlags];
  const OrderBlock& shown = unit.ordersShown;
  if (flags & (kUnitMovesWhileTurning | kUnitSeekingBase)) return {"RETREATING", ""};
  if (flags & (kUnitBit16 | kUnitBit17)) return {"WAITING TRANSPORT", ""};
  if (flags & kUnitBit21) return {"WAITING FOR UNIT", ""};
  if (state & kStateCanRefuel) return {"RESUPPLYING", ""};
  if (state & kStateOutOfFuel) return {"WAITING SUPPLIES", ""};
  if (state & kStateWaitFormation) return {"WAITING FORMATION", ""};
  if (state & kStateHalt) return {"WAITING PATH", ""};
  if (shown[kDestination] != 0)
    return {OrderName(world, shown[kOrderId]), "Dest " + HexPositionText(world, shown[kDestination])};
  if (shown[kOrderFlags] & kOrderAutoDeploy) return {"REPAIRING", ""};
  if (shown[kOrderId] == 0) {
    if (Landed(world, unit)) return {"LANDED", ""};
    if (flags & kUnitInBase) return {"GARRISONED", ""};
    return {"NONE", ""};
  }
  return {OrderName(world, shown[kOrderId]), ""};
}

std::string UnitStatusShort(const World& world, const UnitRecord& unit) {
  const UnitShortStatus parts = UnitStatusShortParts(world, unit);
  return parts.destination.empty() ? parts.status : parts.status + " " + parts.destination;
}

std::vector<UnitStatusRow> UnitStatusText(const World& world, const UnitRecord& unit) {
  std::vector<UnitStatusRow> rows;
  const uint32_t flags = unit.unitFlags;
  const OrderBlock& shown = unit.ordersShown;
  const bool reserve = (shown[kPostureBits] & kPostureInReserve) != 0;
  const bool dead = (flags & kUnitGone) != 0;
  if (dead) rows.push_back({"DESTROYED", kStatusRowMain});
  if (!dead && reserve) {
    if (shown[kPostureBits] & kPostureUnderConstruction) {
      rows.push_back({"UNDER CONSTRUCTION", kStatusRowMain});
      if (shown[kStateFlags] & kStatePausedBuild) rows.push_back({"(Construction Paused)", kStatusRowDetail});
      rows.push_back({Format("(%s Remaining)", FormatDuration(unit.buildWork)), kStatusRowDetail});
    }
    if (shown[kStateFlags] & kStateDeployRefused) rows.push_back({"PENDING DEPLOY", kStatusRowMain});
    if (shown[kOrderFlags] & kOrderAutoDeploy) rows.push_back({"REPAIRING", kStatusRowMain});
    if (shown[kOrderMask] & kMaskTraining) {
      rows.push_back({Format("Training %s", ProgrammeName(world, static_cast<int>(shown[10] >> 24))), kStatusRowMain});
      if (unit.trainingDays != 0)
        rows.push_back({Format("(%s Days Remain)", std::to_string(unit.trainingDays)), kStatusRowDetail});
    }
  }
  if (reserve && !(shown[kStateFlags] & kStateDeployRefused) && !(shown[kOrderFlags] & kOrderAutoDeploy) &&
      !(shown[kOrderMask] & kMaskTraining))
    rows.push_back({"IN RESERVE", kStatusRowMain});
  if (!reserve) rows.push_back({OrderName(world, shown[kOrderId]), kStatusRowMain});
  if (flags & (kUnitMovesWhileTurning | kUnitSeekingBase)) rows.push_back({"RETREATING", kStatusRowDetail});
  const float suppression = unit.disruption;
  if (suppression > kSuppressionShown) {
    const char* level = suppression > kSuppressionFull   ? "FULLY SUPPRESSED"
                        : suppression > kSuppressionHigh ? "HIGHLY SUPPRESSED"
                                                         : "PARTIALLY SUPPRESSED";
    rows.push_back({level, kStatusRowSuppression});
  }
  const uint32_t state = unit.orders[kStateFlags];
  if (state & kStateCanRefuel)
    rows.push_back({"RESUPPLYING", 5});
  else if (state & kStateOutOfFuel)
    rows.push_back({"WAITING FOR SUPPLIES", 5});
  if (state & kStateWaitFormation) rows.push_back({"WAITING FOR FORMATION", 6});
  if (state & kStateHalt) rows.push_back({"WAITING FOR SAFE PATH", 7});
  if (flags & kUnitBit16) rows.push_back({"Waiting for Sea Transport", 8});
  if (flags & kUnitBit17) rows.push_back({"Waiting for Air Transport", 9});
  if (flags & kUnitBit21) rows.push_back({"Waiting for Cargo Unit", 10});
  if (Landed(world, unit))
    rows.push_back({"Landed Air Unit", 3});
  else if ((flags & kUnitInBase) && unit.moveKind == 0)
    rows.push_back({"GARRISONED", 3});
  if (flags & kUnitSpeedBonus) rows.push_back({"Flying Low Altitude", 11});
  if (shown[kDestination] != 0)
    rows.push_back({"Destination: " + HexPositionText(world, shown[kDestination]), kStatusRowPlace});
  if (shown[kFireHex] != 0) rows.push_back({"Target: " + HexPositionText(world, shown[kFireHex]), kStatusRowPlace});
  return rows;
}
