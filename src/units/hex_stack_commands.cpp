#include "units/hex_stack_commands.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "records/hex_unit_stack.h"
#include "units/unit_class.h"
#include "units/unit_orders.h"
#include "records/unit_record.h"
#include "records/hex_cell.h"
#include "world/hex_extra.h"
#include "world/world.h"

namespace {

constexpr int kDestinationWord = 3;

}  // namespace

// The facility operations of these commands come with the facility code;
// until then they change nothing.
void HexStackCommand288(World&, HexCell&, int, uint32_t, uint32_t, uint32_t, int) {}
void HexStackCommand289(World&, HexCell&, int, uint32_t, int, uint32_t, uint32_t) {}
void HexStackCommand290(World&, HexCell&, int, uint32_t, int) {}
void HexStackCommand291(World&, HexCell&, int, uint32_t) {}
void HexStackCommand292(World&, HexCell&, int, int) {}
void HexStackCommand293(World&, HexCell&, int, uint32_t) {}
void HexStackCommand294(World&, HexCell&, int, int, uint32_t) {}
void HexStackCommand295(World&, HexCell&, int, int) {}
void HexStackCommand296(World&, HexCell&, int, int) {}
void HexStackCommand297(World&, HexCell&, int, int, uint32_t) {}
void HexStackCommand299(World&, HexCell&, int, uint32_t) {}
void HexStackCommand301(World&, HexCell&, int, uint32_t, int) {}

namespace {

// The hex's facility when it is live and, in the simulation pass, confirmed.
UnitRecord* LeadFacility(HexCell& cell, int simulationPass) {
  HexUnitStack* stack = LoadHexStack(cell);
  UnitRecord* facility = stack ? stack->lead : nullptr;
  if (!facility || !IsUnitLive(*facility)) return nullptr;
  if (simulationPass && (facility->unitFlags & kUnitProvisional)) return nullptr;
  return facility;
}

// Completes the facility when strength reaches the target, else marks the
// work still to do.
void SettleConstruction(const World& world, UnitRecord& facility) {
  const UnitClassRecord* cls = UnitClassOf(world, facility);
  const float perPoint = cls ? cls->buildWorkPerPoint : 0.0f;
  if (facility.strength >= facility.targetStrength) {
    facility.orders[kPostureBits] &= ~kPostureUnderConstruction;
    facility.ordersShown[kPostureBits] &= ~kPostureUnderConstruction;
    facility.buildWork = 0.0f;
  } else {
    facility.orders[kPostureBits] |= kPostureUnderConstruction;
    facility.ordersShown[kPostureBits] |= kPostureUnderConstruction;
    facility.buildWork = (facility.targetStrength - facility.strength) * perPoint;
  }
}

}  // namespace

void LeadUnitSetDestination(World&, HexCell& cell, int simulationPass, uint32_t position) {
  if (UnitRecord* facility = LeadFacility(cell, simulationPass))
    PassOrders(*facility, simulationPass ? 1 : 0)[kDestinationWord] = position;
}

int LeadUnitAddValue(World&, HexCell& cell, int delta) {
  UnitRecord* facility = LeadFacility(cell, 1);
  if (!facility) return -1;
  facility->leadValue = static_cast<uint8_t>(std::clamp(int64_t{facility->leadValue} + delta, int64_t{0}, int64_t{255}));
  return facility->leadValue;
}

void LeadUnitSetStrength(World& world, HexCell& cell, int simulationPass, float value) {
  if (!simulationPass) return;
  UnitRecord* facility = LeadFacility(cell, 1);
  if (!facility) return;
  facility->strength = value;
  SettleConstruction(world, *facility);
}

void LeadUnitSetTargetStrength(World& world, HexCell& cell, int simulationPass, float value) {
  if (!simulationPass) return;
  UnitRecord* facility = LeadFacility(cell, 1);
  if (!facility) return;
  facility->targetStrength = value;
  SettleConstruction(world, *facility);
}

void HexStackCommand304(World& world, HexCell& cell, int player, const std::vector<uint8_t>& text) {
  const int owner = CellOwner(cell.word);
  if (world.players[owner].number != player) return;
  const auto end = std::find(text.begin(), text.end(), uint8_t{0});
  const size_t length = std::min<size_t>(static_cast<size_t>(end - text.begin()), kMaxHexLabel);
  char* label = static_cast<char*>(std::malloc(length + 1));
  if (!label) return;
  if (length) std::memcpy(label, text.data(), length);
  label[length] = '\0';
  HexExtra* extra = GetHexExtra(world, cell);
  if (!extra) {
    std::free(label);
    return;
  }
  WorldLockGuard hold(world, kLockHexExtras);
  std::free(extra->text);
  extra->text = label;
}
