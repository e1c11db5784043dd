#include "screens/main/panels/hex_info_panel.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

#include "app/number_text.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "screens/common/hex_cell_lookup.h"
#include "screens/common/hex_lead_unit.h"
#include "screens/common/panel_tint.h"
#include "screens/docked_panels.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/terrain_defence.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "units/hex_state.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "units/class_fields.h"
#include "world/record_helpers.h"
#include "world/terrain_flags.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

// "hexinfo" texts: 0 to 2 the hex's status, 3 to 9 the terrain's special
// properties by flag bit 0 to 6.
constexpr int kStatusLabelText = 0;
constexpr int kStatusAText = 1;
constexpr int kStatusBText = 2;
constexpr int kFirstSpecialText = 3;
constexpr int kSpecialBits = 7;
constexpr int32_t kSpecialRowIds[2] = {3, 4};
constexpr int32_t kFirstDefenceRowId = 101;  // 101 to 103, then 104 the combined row
constexpr int32_t kCombinedRowId = 104;
constexpr int32_t kFirstMovementRowId = 105;  // 105 to 108
constexpr float kDefenceMax = 4.0f;
constexpr int32_t kMovementMax = 14;
constexpr int32_t kFortificationMax = 255;

const UnitClassRecord* ClassOf(const World& world, int32_t index) {
  return index > 0 && static_cast<size_t>(index) < world.unitClasses.size() ? &world.unitClasses[static_cast<size_t>(index)]
                                                                             : nullptr;
}

// The unit stands down (bit 0 of its posture word): its class adds nothing.
bool StandsDown(const UnitRecord& unit) { return (unit.orders[kPostureBits] & 1u) != 0; }

void SetPercentText(Control* c, float value) {
  char text[kNumberTextSize];
  FormatNumberText(text, 0, 0, "", 0, " %", 0, static_cast<double>(value));
  ControlSetText(c, text);
}

// The world keeps no fortification table of its own: a hex is as fortified
// as the cover its live, ready facility gives, the value combat raises the
// hex's own cover to (the class's last defence byte).
uint8_t HexFortification(const World& world, const HexCell& cell) {
  const HexUnitStack* stack = LoadHexStack(cell);
  const UnitRecord* lead = stack ? stack->lead : nullptr;
  if (!lead || lead->classIndex == 0 || (lead->unitFlags & (kUnitGone | kUnitProvisional)) || StandsDown(*lead))
    return 0;
  const UnitClassRecord* cls = ClassOf(world, lead->classIndex);
  return cls ? cls->defenceValues[3] : 0;
}

}  // namespace

bool HexKeepsUnitOutOfDetail(const HexCell& cell) {
  const HexUnitStack* stack = LoadHexStack(cell);
  return stack && stack->extra && (stack->extra->pairA[0] & kSlotInUse) != 0;
}

void HexInfoPanel::BindControls() { DockInBotbar2(*this); }

void HexInfoPanel::OnOpen() { ScreenSlotResetMapMode(g_screens); }

void HexInfoPanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  Control* f = currentForm;
  if (!f) return;
  const World& world = g_world;
  auto tagged = [f](const char* tag) { return FormFindControlByTag(f, tag); };
  auto withId = [f](int32_t id) { return FormFindControlById(f, id); };
  const HexCell* cell = SelectedCell(world);
  if (!cell) {
    ControlSetText(tagged("TERTYPE"), "");
    for (const char* tag : {"STATPARENT", "SPECPARENT", "DEFPARENT", "MOVEPARENT", "NAMEBUT", "NB1"})
      SetHidden(tagged(tag), true);
    SetHidden(withId(kSpecialRowIds[1]), true);
    return;
  }
  static const TerrainRecord kNoTerrain{};
  const TerrainRecord* terrainOf = TerrainOf(world, *cell);
  const TerrainRecord& t = terrainOf ? *terrainOf : kNoTerrain;
  ControlSetText(tagged("TERTYPE"), TerrainName(t).c_str());

  const HexUnitStack* stack = LoadHexStack(*cell);
  const HexExtra* label = stack ? stack->extra : nullptr;
  Control* statParent = tagged("STATPARENT");
  SetHidden(statParent, false);
  int status = -1;
  if (label && (label->bytes10[1] & kPresenceMarkers)) {
    status = kStatusLabelText;
  } else if (cell->word & kCellFlagEq) {
    status = kStatusAText;
  } else if (cell->word & kCellFlagH) {
    status = kStatusBText;
  }
  if (status < 0) {
    SetHidden(statParent, true);
  } else {
    ControlSetText(tagged("TERSTAT"), TextListEntry(g_textLists, kListHexinfo, status));
  }

  const uint32_t special = TerrainFlags(t) & ((1u << kSpecialBits) - 1);
  int used = 0;
  for (int bit = 0; bit < kSpecialBits && used < 2; ++bit)
    if (special & (1u << bit))
      ControlSetText(withId(kSpecialRowIds[used++]), TextListEntry(g_textLists, kListHexinfo, kFirstSpecialText + bit));
  SetHidden(tagged("SPECPARENT"), special == 0);
  SetHidden(withId(kSpecialRowIds[1]), std::popcount(special) == 1);

  const UnitRecord* unit = ShownUnit(world, *cell);
  static const UnitClassRecord kNoClass{};
  const UnitClassRecord* shownClass = unit ? ClassOf(world, unit->classIndex) : nullptr;
  const UnitClassRecord& k = shownClass ? *shownClass : kNoClass;
  if (classfields::TerrainMovement(t, 0) == 0) {
    SetHidden(tagged("DEFPARENT"), true);
    SetHidden(tagged("MOVEPARENT"), true);
  } else {
    SetHidden(tagged("DEFPARENT"), false);
    SetHidden(tagged("MOVEPARENT"), false);
    const bool classDefends = unit && !StandsDown(*unit) && !HiddenFromOthers(*unit);
    for (int row = 0; row < 3; ++row) {
      int32_t v = classfields::TerrainCover(t, row);
      if (classDefends) {
        v = std::max<int32_t>(v, k.defenceValues[3]);
        if (row == 1 && (k.flags & kClassFortification)) v *= 3;
      }
      if (SlideBarControl* bar = AsSlideBar(withId(kFirstDefenceRowId + row))) {
        SliderSetMaxFloat(bar, kDefenceMax);
        SliderSetValueFloatNotify(bar, DefenceFactor(v));
      }
    }
    if (SlideBarControl* bar = AsSlideBar(withId(kCombinedRowId))) {
      const int32_t combined = t.bytes[kTerrainGroundDefenceAt] + k.defenceValues[3];
      SliderSetMaxFloat(bar, kDefenceMax);
      SliderSetValueFloatNotify(bar, std::min(static_cast<float>(combined) / 25.0f, kDefenceMax));
    }
    const int32_t u = (k.flags & kClassNoTerrainCost) ? 0 : k.hexMoveCost;
    for (int row = 0; row < 4; ++row) {
      const int32_t terrainCost = classfields::TerrainMovement(t, row);
      const int32_t v = terrainCost == 0 ? u : u == 0 ? terrainCost : std::min(terrainCost, u);
      if (SlideBarControl* bar = AsSlideBar(withId(kFirstMovementRowId + row))) {
        SliderSetMaxInt(bar, kMovementMax);
        SliderSetValueIntNotify(bar, v);
      }
    }
  }

  const int owner = CellOwner(cell->word), loyal = CellLoyalTo(cell->word);
  SetHidden(tagged("NAMEBUT"), owner != world.gameState.localPlayer);
  const UnitRecord* lead = stack ? stack->lead : nullptr;
  const bool leadStands = lead && !(lead->unitFlags & kUnitGone) && lead->classIndex != 0 && !HiddenFromOthers(*lead);
  const UnitClassRecord* leadClass = leadStands ? ClassOf(world, lead->classIndex) : nullptr;
  const bool fortified = leadClass && (leadClass->flags & kClassFortification) && !StandsDown(*lead);
  SetHidden(tagged("NB1"), !(fortified || (special & kTerrainCovered)));
  SetHidden(tagged("NB2"), !(special & kTerrainHighGround));

  if (SlideBarControl* bar = AsSlideBar(tagged("CLOYALTY"))) {
    const float loyalty = leadStands ? lead->morale : world.players[loyal].efficiency;
    SliderSetMaxFloat(bar, 1.0f);
    SliderSetValueFloat(bar, loyalty);
    bar->outlines[kLookNormal] = PanelTint(g_uiOptions.playercolor[loyal]);
    SetPercentText(bar, loyalty * 100.0f);
  }
  if (SlideBarControl* bar = AsSlideBar(tagged("CFORTSLDR"))) {
    const uint8_t fort = HexFortification(world, *cell);
    SliderSetMaxInt(bar, kFortificationMax);
    SliderSetValueInt(bar, fort);
    bar->outlines[kLookNormal] = PanelTint(g_uiOptions.playercolor[owner]);
    SetPercentText(bar, static_cast<float>(fort) / 2.5f);
  }
}

void HexInfoPanel::OnCommand(Control* control, int32_t) {
  if (!control) return;
  if ((control->flags & kCtlRadio) && !control->Selected()) {
    PopPopupsTo(g_ui, 2);
  } else if (ControlTagMatches(control->tag, "FILTER")) {
    g_screens.mapScreen.filter.Show(kKeepScreenId, nullptr);
  } else if (ControlTagMatches(control->tag, "NAMEBUT")) {
    g_screens.nameHex->Popup(kKeepScreenId, nullptr);
  } else if (ControlTagMatches(control->tag, "INSPECT")) {
    distance.Show(kKeepScreenId, nullptr);
  }
}
