#include "units/hex_stack_commands.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <atomic>
#include <bit>
#include <cmath>

#include "records/hex_unit_stack.h"
#include "sim/command_counts.h"
#include "units/hex_state.h"
#include "units/class_fields.h"
#include "units/facilities/facility_build.h"
#include "units/facilities/hex_facility_state.h"
#include "world/day_tallies.h"
#include "world/unit_class.h"
#include "units/unit_orders.h"
#include "records/unit_record.h"
#include "records/hex_cell.h"
#include "world/hex_extra.h"
#include "world/record_helpers.h"
#include "world/world.h"

namespace {

constexpr int kDestinationWord = 3;
constexpr float kFullStrength = 0.99f;
constexpr float kLeastConversionWork = 5.0f;
constexpr int32_t kSiteKindA = 4128;
constexpr int32_t kSiteKindB = 4129;

}  // namespace


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

void LeadUnitSetModeC(World& world, HexCell& cell, int simulationPass, int on, int extra) {
  if (UnitRecord* facility = LeadFacility(cell, simulationPass))
    SetFacilityModeC(world, *facility, simulationPass ? 1 : 0, on, extra);
}

void LeadUnitSetModeA(World& world, HexCell& cell, int simulationPass, int on) {
  if (UnitRecord* facility = LeadFacility(cell, simulationPass))
    SetFacilityModeA(world, *facility, simulationPass ? 1 : 0, on);
}

void LeadUnitSetStateBit(World& world, HexCell& cell, int simulationPass, int on) {
  if (UnitRecord* facility = LeadFacility(cell, simulationPass))
    UnitSetStateBits(world, *facility, simulationPass ? 1 : 0, kStateDeployDue, on ? 1u : 0u);
}

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

namespace {

bool Provisional(const UnitRecord& u) { return (u.unitFlags & kUnitProvisional) != 0; }

// The hex's facility when the sender may act on it: the hex is the
// sender's, the facility live with a class; a provisional one is the
// simulation's to leave alone and, on the display pass, only its local
// owner's to change.
UnitRecord* Guard(World& world, HexCell& cell, int pass, int player) {
  if (CellOwner(cell.word) != (player & 31)) return nullptr;
  HexUnitStack* stack = LoadHexStack(cell);
  UnitRecord* f = stack ? stack->lead : nullptr;
  if (!f || !IsUnitLive(*f) || f->classIndex <= 0) return nullptr;
  if (Provisional(*f) && (pass == 1 || player != (world.gameState.localPlayer & 31))) return nullptr;
  return f;
}

// A class a peer may name: one in the table with a name.
const UnitClassRecord* NamedClass(const World& world, uint32_t classIndex) {
  if (classIndex == 0 || classIndex > 0x7FFF) return nullptr;
  const UnitClassRecord* cls = ClassRecordAt(world, static_cast<int32_t>(classIndex));
  return cls && cls->name[0] != '\0' ? cls : nullptr;
}

// The hex's state block, when it has one and the sender owns the hex.
HexExtra* OwnedBlock(HexCell& cell, int player) {
  if (CellOwner(cell.word) != (player & 31)) return nullptr;
  HexUnitStack* stack = LoadHexStack(cell);
  return stack ? stack->extra : nullptr;
}

uint8_t& SiteByte(HexExtra& e, int i, int pass) { return pass == 0 ? HexSlotDisplayFlags(e, i) : HexSlotSimFlags(e, i); }

void SetSiteBit(HexExtra& e, int i, int pass, uint8_t bit, bool on) {
  uint8_t& b = SiteByte(e, i, pass);
  b = on ? static_cast<uint8_t>(b | bit) : static_cast<uint8_t>(b & ~bit);
  HexStateCount(e, pass);
}

// The facility of the hex when it counts for the site commands: live and,
// on the simulation pass, confirmed.
UnitRecord* SiteFacility(HexCell& cell, int pass) {
  HexUnitStack* stack = LoadHexStack(cell);
  UnitRecord* f = stack ? stack->lead : nullptr;
  if (!f || !IsUnitLive(*f) || (pass == 1 && Provisional(*f))) return nullptr;
  return f;
}

// 295's work: the sites are given up and a road facility runs down.
void GiveUpSites(World& world, HexCell& cell, int pass, int player) {
  HexExtra* e = OwnedBlock(cell, player);
  if (!e) return;
  for (int i = 0; i < 2; ++i)
    if (SiteByte(*e, i, pass) & kSlotInUse) SetSiteBit(*e, i, pass, kSlotRemoving, true);
  UnitRecord* f = SiteFacility(cell, pass);
  const UnitClassRecord* cls = f ? UnitClassOf(world, *f) : nullptr;
  if (cls && (cls->flags & kClassRoad) && !(cls->flags & kClassSettlementPopulation)) {
    SetStackUnitState(world, cell, pass, 1);
    SetFacilityModeC(world, *f, pass, 1, 1);
  }
}

// 296's work: the sites are taken up again, still building unless the
// facility stands complete.
void TakeUpSites(HexCell& cell, int pass, int player) {
  HexExtra* e = OwnedBlock(cell, player);
  if (!e) return;
  const UnitRecord* f = SiteFacility(cell, pass);
  const bool building = !f || f->strength <= kFullStrength;
  for (int i = 0; i < 2; ++i) {
    if (!(SiteByte(*e, i, pass) & kSlotInUse)) continue;
    SetSiteBit(*e, i, pass, kSlotRemoving, false);
    SetSiteBit(*e, i, pass, kSlotBuilding, building);
  }
}

float FloatOf(uint32_t bits) { return std::bit_cast<float>(bits); }

}  // namespace

void HexStackCommand288(World& world, HexCell& cell, int pass, uint32_t sequence, uint32_t classIndex,
                        uint32_t sizeBits, int player) {
  if (CellOwner(cell.word) != (player & 31) || !NamedClass(world, classIndex)) return;
  ProcessUnitStack(world, cell, pass, sequence, static_cast<int32_t>(classIndex), FloatOf(sizeBits), false, false);
}

void HexStackCommand289(World& world, HexCell& cell, int pass, uint32_t sequence, int player, uint32_t classIndex,
                        uint32_t direction) {
  if (world.players[CellOwner(cell.word)].number != player) return;
  if (classIndex != kSiteKindA && classIndex != kSiteKindB) return;
  BuildHexSite(world, cell, pass, sequence, static_cast<int32_t>(classIndex), static_cast<int>(direction & 7u), false,
               false);
}

void HexStackCommand290(World& world, HexCell& cell, int pass, uint32_t levelBits, int player) {
  SetFacilityOutput(world, cell, pass, FloatOf(levelBits), player);
}

void SetFacilityOutput(World& world, HexCell& cell, int pass, float level, int player) {
  if (!std::isfinite(level) || level < 0.0f) return;
  UnitRecord* f = Guard(world, cell, pass, player);
  if (!f) return;
  SetFacilityModeC(world, *f, pass, 0, 0);
  SetStateBit30(world, *f, pass, 0);
  const UnitClassRecord* cls = UnitClassOf(world, *f);
  const float achievable = SupplyCarriedSize(HexSiteSupply(world, cell, *cls, f->classIndex, f->owner & 31), level);
  if (f->strength >= achievable) {
    SetFacilityModeA(world, *f, pass, 0);
    ActivateStackUnit(world, cell, pass);
  } else {
    SetStackUnitState(world, cell, pass, 0);
    SetFacilityModeA(world, *f, pass, 1);
    LeadUnitSetTargetStrength(world, cell, pass, achievable);
  }
  if (IsUnitLive(*f) && (cls->flags & kClassRoad)) TakeUpSites(cell, pass, player);
  CountUnitOrder(world, *f, pass);
}

void HexStackCommand291(World& world, HexCell& cell, int pass, int player, uint32_t) {
  UnitRecord* f = Guard(world, cell, pass, player);
  if (!f) return;
  const UnitClassRecord* cls = UnitClassOf(world, *f);
  SetStackUnitState(world, cell, pass, 1);
  SetFacilityModeC(world, *f, pass, 1, 0);
  const TerrainRecord* t = TerrainOf(world, cell);
  if ((cls->flags & kClassRoad) && t && classfields::TerrainMovement(*t, 0) == 0) GiveUpSites(world, cell, pass, player);
  if (pass == 1 && !(cls->flags & kClassExcludedKinds) && (cls->flags & kClassSettlement) &&
      cls->baseKind == 0 &&
      (cls->loadableMask != 0 || (cls->flags & (kClassAirBase | kClassHaven))))
    StackSideEffects(world, cell, 1, 1, -1);
  CountUnitOrder(world, *f, pass);
}

void HexStackCommand292(World& world, HexCell& cell, int pass, int player) {
  UnitRecord* f = Guard(world, cell, pass, player);
  if (!f) return;
  const UnitClassRecord* cls = UnitClassOf(world, *f);
  if (cls->flags & kClassProduction) {
    SetFacilityModeA(world, *f, pass, 0);
    ActivateStackUnit(world, cell, pass);
    SetFacilityModeC(world, *f, pass, 0, 0);
    LeadUnitSetTargetStrength(world, cell, pass, f->strength);
  } else if (f->strength < f->targetStrength) {
    SetStackUnitState(world, cell, pass, 0);
    SetFacilityModeA(world, *f, pass, 1);
  }
  CountUnitOrder(world, *f, pass);
}

void HexStackCommand293(World& world, HexCell& cell, int pass, int player, uint32_t on) {
  UnitRecord* f = Guard(world, cell, pass, player);
  if (!f) return;
  SetStackUnitState(world, cell, pass, on != 0 ? 1 : 0);
  CountUnitOrder(world, *f, pass);
}

void HexStackCommand294(World& world, HexCell& cell, int pass, int player, uint32_t value) {
  UnitRecord* f = Guard(world, cell, pass, player);
  if (!f) return;
  SetStateBit30(world, *f, pass, value == 0 ? 1 : 0);
  CountUnitOrder(world, *f, pass);
}

void HexStackCommand295(World& world, HexCell& cell, int pass, int player) { GiveUpSites(world, cell, pass, player); }

void HexStackCommand296(World&, HexCell& cell, int pass, int player) { TakeUpSites(cell, pass, player); }

void HexStackCommand297(World& world, HexCell& cell, int pass, int player, uint32_t paused) {
  UnitRecord* f = Guard(world, cell, pass, player);
  if (!f) return;
  SetStateBit30(world, *f, pass, paused != 0 ? 1 : 0);
  CountUnitOrder(world, *f, pass);
}

void HexStackCommand299(World& world, HexCell& cell, int pass, int player, uint32_t deployDue) {
  UnitRecord* f = Guard(world, cell, pass, player);
  if (!f) return;
  UnitSetStateBits(world, *f, pass, kStateDeployDue, deployDue);
  CountUnitOrder(world, *f, pass);
}

void HexStackCommand301(World& world, HexCell& cell, int pass, uint32_t classIndex, int player) {
  if (!NamedClass(world, classIndex)) return;
  ConvertFacility(world, cell, pass, static_cast<int32_t>(classIndex), player);
}

void ConvertFacility(World& world, HexCell& cell, int pass, int32_t classIndex, int player) {
  const UnitClassRecord* next = classIndex > 0 ? NamedClass(world, static_cast<uint32_t>(classIndex)) : nullptr;
  if (!next) return;
  UnitRecord* f = Guard(world, cell, pass, player);
  if (!f) return;
  const UnitClassRecord* old = UnitClassOf(world, *f);
  const float o = old ? old->buildWorkPerPoint : 0.0f;
  SetFacilityModeC(world, *f, pass, 0, 0);
  SetStateBit30(world, *f, pass, 0);
  SetStackUnitState(world, cell, pass, 0);
  SetFacilityModeA(world, *f, pass, 1);
  SetStateBit24(world, *f, pass, 1);
  if (pass == 1) {
    const bool wasLive = IsUnitLive(*f);
    f->classIndex = static_cast<int16_t>(classIndex);
    NoteUnitLiveChange(world, *f, wasLive);
  }
  const float n = next->buildWorkPerPoint;
  // A class that takes no work to build costs no strength to convert to.
  if (n > 0.0f) {
    const float m = std::max(n - o + kLeastConversionWork, kLeastConversionWork);
    const float x = std::min(n, m);
    LeadUnitSetStrength(world, cell, pass, std::max(0.0f, f->strength - x / n));
  }
  // The conversion settles the orders: the simulation pass drops whatever
  // was outstanding and shows its copy (the count below copies it under the
  // command-log lock); the display pass counts itself once more.
  if (pass == 1)
    std::atomic_ref<int16_t>(f->pendingOrders).store(0);
  else
    CountUnitOrder(world, *f, pass);
  CountUnitOrder(world, *f, pass);
}
