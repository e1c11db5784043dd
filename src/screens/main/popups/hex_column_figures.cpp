#include "screens/main/popups/hex_column_figures.h"

#include <algorithm>

#include "app/number_text.h"

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "screens/common/facilities/site_figures.h"
#include "screens/main/panels/hex_info_panel.h"
#include "units/hex_owner.h"
#include "units/hex_state.h"
#include "units/class_fields.h"
#include "units/facilities/facility_build.h"
#include "world/hex_extra.h"
#include "world/record_helpers.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

// The facility classes with an effect multiplier of their own, and where
// the owner's multipliers for them start.
constexpr int32_t kEffectClassFirst = 4024;
constexpr int32_t kEffectClassLast = 4047;
constexpr int kEffectClassEntry = 36;
// Kinds of facility (the class's base kind): 0 a plain one.
constexpr uint8_t kPlainFacilityKind = 0;
constexpr uint32_t kQueueBases = kClassAirBase | kClassHaven;

// The hex yields nothing of its own (the label's first flag).
bool HexYieldsNothing(const HexCell& cell) {
  const HexUnitStack* stack = LoadHexStack(cell);
  return stack && stack->extra && (HexSlotSimFlags(*stack->extra, 0) & kSlotNoYield) != 0;
}

bool StaffedOfNoSpecialKind(const UnitClassRecord& cls) {
  return (cls.flags & kClassSettlement) && !(cls.flags & kClassExcludedKinds);
}

}  // namespace

const HexCell* HexCellOf(const World& world, int64_t cellIndex) {
  return cellIndex >= 0 && static_cast<uint64_t>(cellIndex) < world.cells.size()
             ? &world.cells[static_cast<size_t>(cellIndex)]
             : nullptr;
}

const UnitClassRecord* HexClassOf(const World& world, int32_t classIndex) {
  return classIndex > 0 && static_cast<size_t>(classIndex) < world.unitClasses.size()
             ? &world.unitClasses[static_cast<size_t>(classIndex)]
             : nullptr;
}

const UnitClassRecord* KnownClass(const World& world, const HexCell& cell) {
  const UnitRecord* known = ShownUnit(world, cell);
  const auto index = static_cast<size_t>(known ? known->classIndex : 0);
  return index < world.unitClasses.size() ? &world.unitClasses[index] : nullptr;
}

std::string HexPeopleText(const World& world, const HexCell& cell) {
  char text[kNumberTextSize];
  FormatNumberText(text, 0, 0, "", 0, "", 0, HexPeopleWeight(world, cell));
  return text;
}

float HexLoyalty(const World& world, const HexCell& cell) {
  if (const UnitRecord* facility = OpenUnit(cell)) return facility->morale;
  return world.players[CellLoyalTo(cell.word)].efficiency;
}

float HexWorkLoyalty(const World& world, const HexCell& cell) {
  return CellOwner(cell.word) == CellLoyalTo(cell.word) ? HexLoyalty(world, cell) : 0.0f;
}

float ClassEffectMultiplier(const World& world, int owner, int32_t classIndex) {
  if (classIndex < kEffectClassFirst || classIndex > kEffectClassLast) return 1.0f;
  return world.techEffects[owner & 31][kEffectClassEntry + (classIndex - kEffectClassFirst)];
}

bool ClassOutputTable(const UnitClassRecord& cls, float (&out)[kHexProducts]) {
  return classfields::ProductValues(cls, out);
}

int GraphProduct(const UnitClassRecord& cls) {
  float out[kHexProducts];
  if (!ClassOutputTable(cls, out)) return 0;
  int best = 0;
  for (int k = 1; k < kHexProducts; ++k)
    if (out[k] > out[best]) best = k;
  return best;
}

HexYield HexResourceYield(const World& world, const HexCell& cell) {
  HexYield y;
  float potential[kHexProducts];
  HexAreaSpill(world, cell, potential);
  float own[kHexProducts] = {};
  if (const TerrainRecord* t = TerrainOf(world, cell))
    for (int k = 0; k < kHexProducts; ++k) own[k] = classfields::TerrainResource(*t, k);

  // What a working facility adds: its output at its effective strength.
  float added[kHexProducts] = {};
  const UnitRecord* facility = VisibleUnit(cell);
  const UnitClassRecord* cls = facility ? HexClassOf(world, facility->classIndex) : nullptr;
  float output[kHexProducts];
  if (cls && (cls->flags & kClassProduction) && ClassOutputTable(*cls, output)) {
    float s = EffectiveStrength(facility->strength);
    const float m = ClassEffectMultiplier(world, CellOwner(cell.word), facility->classIndex);
    if (m != 1.0f) s = s * m;
    for (int k = 0; k < kHexProducts; ++k) added[k] = s * output[k];
    if (cls->flags & kClassFullAvailability)
      for (int k = 0; k < kHexProducts; ++k) potential[k] = potential[k] + added[k];
  }
  const bool yieldsNothing = HexYieldsNothing(cell);
  for (int k = 0; k < kHexProducts; ++k) {
    y.shown[k] = own[k] > potential[k] ? own[k] : std::min(potential[k], 1.0f);
    y.mark[k] = yieldsNothing ? 0.0f : std::min(own[k] + added[k], y.shown[k]);
  }
  return y;
}

bool IsUpgradableIndustry(const UnitClassRecord& cls) {
  return StaffedOfNoSpecialKind(cls) && cls.baseKind == kPlainFacilityKind && cls.baseSlots != 0;
}

bool HasIndustryQueue(const UnitClassRecord& cls) {
  return StaffedOfNoSpecialKind(cls) && cls.baseKind == kPlainFacilityKind &&
         (cls.baseSlots != 0 || (cls.flags & kQueueBases));
}

bool IsIndustrialHex(const World& world, const HexCell& cell) {
  if (const UnitRecord* lead = PresentUnit(cell)) {
    const UnitClassRecord* cls = HexClassOf(world, lead->classIndex);
    if (cls && (IsUpgradableIndustry(*cls) || (cls->flags & (kClassSettlementPopulation | kClassProduction))))
      return true;
  }
  const UnitClassRecord* cls = KnownClass(world, cell);
  return cls && StaffedOfNoSpecialKind(*cls) && cls->baseKind != kPlainFacilityKind;
}
