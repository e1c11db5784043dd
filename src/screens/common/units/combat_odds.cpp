#include "screens/common/units/combat_odds.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <string>

#include "app/game_math.h"
#include "platform/fpenv.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/region_row.h"
#include "screens/common/hex_distance.h"
#include "screens/common/hex_lead_unit.h"
#include "screens/common/terrain_defence.h"
#include "screens/common/units/unit_lists.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "units/combat/unit_attack.h"
#include "units/combat/unit_fire.h"
#include "units/hex_geometry.h"
#include "world/hex_extra.h"
#include "world/record_helpers.h"
#include "world/terrain_flags.h"
#include "world/text/editor_bar_readouts.h"
#include "world/text/ui_options.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "records/unit_table_arrays.h"
#include "world/world.h"

namespace {

constexpr int kWeaponRanges = 4;
// A defence byte for units in the open, and the one for aircraft caught on
// the ground.
constexpr int kOpenDefence = 0;
constexpr int kGroundedAirDefence = 3;
constexpr float kPostureBonus = 1.5f;
constexpr size_t kPlaceNameLimit = 47;

SlideBarControl* BarOf(Control* panel, int32_t id) {
  Control* c = panel ? FormFindControlById(panel, id) : nullptr;
  return c && c->kind == kKindSlideBar ? static_cast<SlideBarControl*>(c) : nullptr;
}

void SetBar(Control* panel, int32_t id, float maximum, float value) {
  if (SlideBarControl* bar = BarOf(panel, id)) {
    SliderSetMaxFloat(bar, maximum);
    SliderSetValueFloatNotify(bar, value);
  }
}

const HexCell* CellOf(const World& world, uint32_t packed) {
  const int64_t index = HexCellIndex(MapShape(world), packed);
  return index >= 0 && static_cast<size_t>(index) < world.cells.size() ? &world.cells[static_cast<size_t>(index)]
                                                                       : nullptr;
}

// Each suited terrain (the postures the unit and its ground share) counts
// half as much again.
float PostureFactor(const World& world, const UnitRecord& unit, const HexCell* cell) {
  const TerrainRecord* terrain = cell ? TerrainOf(world, *cell) : nullptr;
  const uint32_t shared = (terrain ? TerrainFlags(*terrain) : 0u) & unit.unitFlags & kUnitPostures;
  float f = 1.0f;
  for (int n = std::popcount(shared); n > 0; --n) f *= kPostureBonus;
  return f;
}

// Training and experience together. Both run from 0 upward; a damaged
// record holding less than -0.8 or -1 would make the product negative and
// its root meaningless, so such a unit counts as untrained.
float Quality(const UnitRecord& unit) {
  const float q = (unit.training + 0.8f) * (unit.experience + 1.0f);
  return q > 0.0f ? std::sqrt(q) : 0.0f;
}

uint32_t PackedOf(const HexPosition& hex) { return PackHex(hex.x, hex.y); }

std::string PlaceName(const HexCell* cell) {
  const HexUnitStack* stack = cell ? LoadHexStack(*cell) : nullptr;
  const HexExtra* label = stack ? stack->extra : nullptr;
  if (!label || !label->text || !label->text[0]) return "DESTINATION";
  return std::string(label->text, strnlen(label->text, kPlaceNameLimit));
}

ListBoxControl* ListOf(Control* c) {
  return c && c->kind == kKindListBox ? static_cast<ListBoxControl*>(c) : nullptr;
}

}  // namespace

float CombatRating(uint8_t value) {
  if (value <= 150) return static_cast<float>(value);
  const float over = static_cast<float>(value - 150);
  return over * over + 150.0f;
}

CombatFigures UnitCombatFigures(const World& world, const UnitRecord& unit) {
  CombatFigures f;
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  if (!cls) return f;
  for (int k = 0; k < kWeaponRanges; ++k) f.maxRange = std::max(f.maxRange, UnitBoostedRange(world, unit, k));
  f.strength = unit.strength;
  const HexCell* cell = CellOf(world, MakeHexPos(unit.x, unit.y));
  const float posture = PostureFactor(world, unit, cell);
  const float quality = Quality(unit);

  const float a = CombatRating(cls->attackValues[0]);
  float am = posture;
  const bool airborne = (unit.unitFlags & kUnitMoved) || (unit.orders[kOrderFlags] & kOrderMoving);
  if (airborne && (cls->flags & kClassHalvedAirborne)) am *= 0.5f;
  f.attack = a * a * (unit.efficiency + 0.2f) * (unit.morale + 0.2f) * (1.01f - unit.disruption) * quality *
             unit.strength * am;

  const bool grounded = CountsAsLandTarget(world, unit);
  const float d = CombatRating(cls->defenceValues[grounded ? kGroundedAirDefence : kOpenDefence]);
  float dm = posture;
  if (unit.kind != kUnitKindAir) {
    const float cover = cell ? TerrainDefenceFactor(world, *cell) : 1.0f;
    dm = (static_cast<float>(unit.entrenchment) / 100.0f + 1.0f) * cover * dm;
  }
  if (InReserve(unit)) dm *= 0.5f;
  f.defence =
      d * d * (unit.efficiency + 0.2f) * (unit.morale + 0.2f) * quality * unit.strength * dm + unit.strength;
  return f;
}

CombatFigures SideCombatFigures(const World& world, const ListHolder& units) {
  CombatFigures side;
  for (const ListItem28* item = FirstInHolder(units); item; item = NextInHolder(units, item)) {
    const UnitRecord* unit = RefUnit(world, *item);
    if (!unit) continue;
    const CombatFigures f = UnitCombatFigures(world, *unit);
    side.maxRange = std::max(side.maxRange, f.maxRange);
    side.strength += f.strength;
    side.attack += f.attack;
    side.defence += f.defence;
  }
  return side;
}

uint32_t CombatOriginHex(const World& world, ScreenSet& screens) {
  const ListHolder& selection = screens.SelectionList();
  for (const ListItem28* item = FirstInHolder(selection); item; item = NextInHolder(selection, item))
    if (const UnitRecord* unit = RefUnit(world, *item)) return MakeHexPos(unit->x, unit->y);
  return PackedOf(world.gameState.currentHex);
}

uint32_t CombatTargetHex(const World& world, const ScreenSet& screens) {
  return PackedOf(screens.mapTargetLocked ? world.gameState.currentHex : world.gameState.viewHex);
}

CombatFigures FillCombatSide(Control* panel, ListHolder& units) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& world = g_world;
  FillUnitList(world, ListOf(panel ? FormFindControlById(panel, kCombatListId) : nullptr), units, true, false, -1);
  const CombatFigures side = SideCombatFigures(world, units);
  SetInt(Id(panel, kCombatRangeId), CheckedTrunc(side.maxRange));
  SetInt(Id(panel, kCombatStrengthId), CheckedTrunc(side.strength));
  SetBar(panel, kCombatAttackBarId, side.attack, side.attack);
  SetBar(panel, kCombatDefenceBarId, side.defence, side.defence);
  return side;
}

void FillCombatFactors(Control* panel, const ListHolder& units, uint32_t hex) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& world = g_world;
  float weight = 0.0f, morale = 0.0f, experience = 0.0f, efficiency = 0.0f;
  for (const ListItem28* item = FirstInHolder(units); item; item = NextInHolder(units, item)) {
    const UnitRecord* unit = RefUnit(world, *item);
    if (!unit) continue;
    weight += unit->strength;
    morale += unit->morale * unit->strength;
    experience += unit->experience * unit->strength;
    efficiency += unit->efficiency * unit->strength;
  }
  if (weight == 0.0f) weight = 1.0f;
  const HexCell* cell = CellOf(world, hex);
  SetBar(panel, kCombatMoraleBarId, 1.0f, morale / weight);
  SetBar(panel, kCombatExperienceBarId, 1.0f, experience / weight);
  SetBar(panel, kCombatEfficiencyBarId, 1.5f, efficiency / weight);
  SetBar(panel, kCombatCoverBarId, 4.0f, cell ? TerrainDefenceFactor(world, *cell) : 1.0f);
  SetBar(panel, kCombatSpareBarId, 1.0f, 0.0f);
}

void FillCombatOdds(Control* form, uint32_t targetHex) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!form) return;
  World& world = g_world;
  ScreenSet& screens = g_screens;
  auto tagged = [form](const char* tag) { return FormFindControlByTag(form, tag); };
  Control* attackSide = tagged("OPAR");
  Control* defenceSide = tagged("DPAR");
  const uint32_t origin = CombatOriginHex(world, screens);
  ListHolder& attackers = screens.SelectionList();
  ListHolder& defenders = HexStackList();
  const CombatFigures attack = FillCombatSide(attackSide, attackers);
  FillCombatFactors(tagged("OPAR2"), attackers, origin);

  const bool noDefenders = FirstInHolder(defenders) == nullptr || targetHex == kNoHexPosition;
  for (const char* tag : {"DPAR", "DPAR2", "PAR3"}) SetHidden(tagged(tag), noDefenders);
  if (!noDefenders) {
    const CombatFigures defence = FillCombatSide(defenceSide, defenders);
    FillCombatFactors(tagged("DPAR2"), defenders, targetHex);
    // Both sides on one scale, so that the bars compare.
    const float attackScale = std::max(attack.attack, defence.attack);
    const float defenceScale = std::max(attack.defence, defence.defence);
    SetBar(attackSide, kCombatAttackBarId, attackScale, attack.attack);
    SetBar(defenceSide, kCombatAttackBarId, attackScale, defence.attack);
    SetBar(attackSide, kCombatDefenceBarId, defenceScale, attack.defence);
    SetBar(defenceSide, kCombatDefenceBarId, defenceScale, defence.defence);
    ControlSetText(FormFindControlById(form, kCombatVerdictId), "Unknown");
  }

  const bool apart = origin == kNoHexPosition || targetHex == kNoHexPosition;
  SetHidden(tagged("DISTANCE"), apart);
  SetHidden(tagged("FLAGHIDE"), apart);
  if (apart) {
    ControlSetText(tagged("TERRAIN"), "");
    ControlSetText(tagged("TARGETNAME"), "");
    return;
  }
  ControlSetText(tagged("DISTANCE"), HexDistanceText(world, origin, targetHex).c_str());
  const HexCell* target = CellOf(world, targetHex);
  ControlSetText(tagged("TARGETNAME"), PlaceName(target).c_str());
  const int64_t index = HexCellIndex(MapShape(world), targetHex);
  ControlSetText(tagged("TERRAIN"), index >= 0 ? HexTerrainName(world, static_cast<uint32_t>(index)).c_str() : "");
  FillRegionRow(tagged("FLAG"), "Owned by ", target ? CellOwner(target->word) : -1);
}
