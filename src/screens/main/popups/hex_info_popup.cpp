#include "screens/main/popups/hex_info_popup.h"

#include <cstring>
#include <string>

#include "app/number_text.h"
#include "platform/threads.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/player_record.h"
#include "screens/common/frame/full_side_panel.h"
#include "screens/common/panel_tint.h"
#include "screens/common/product_tabs.h"
#include "screens/main/panels/hex_info_panel.h"
#include "screens/common/terrain_defence.h"
#include "screens/main/popups/hex_column_figures.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "units/facilities/facility_build.h"
#include "world/hex_extra.h"
#include "world/player_names.h"
#include "world/record_helpers.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

// The children of a column's first part, by id, and of its second part.
constexpr int32_t kOwnerRow = 1;
constexpr int32_t kFacilityRow = 2;
constexpr int32_t kPeopleRow = 3;
constexpr int32_t kLoyaltyBar = 4;
constexpr int32_t kLevelBar = 5;
constexpr int32_t kLabelRow = 6;
constexpr int32_t kCoverBar = 14;
constexpr int32_t kTerrainRow = 11;
constexpr int32_t kCountRow = 13;
constexpr uint32_t kFacilityFontSlot = 7;
constexpr size_t kLabelNameMax = 47;
constexpr int32_t kLevelMax = 255;
constexpr float kCoverMax = 4.0f;

uint32_t RegionColour(int region) { return PanelTint(g_uiOptions.playercolor[region & 31]); }

std::string NumberText(double value, const char* suffix) {
  char text[kNumberTextSize];
  FormatNumberText(text, 0, 0, "", 0, suffix, 0, value);
  return text;
}

void SetBarColour(SlideBarControl* bar, int region) {
  if (bar) bar->outlines[kLookNormal] = RegionColour(region);
}

void FillFirstPart(const World& world, Control* part, const HexCell& cell) {
  const int owner = CellOwner(cell.word), loyal = CellLoyalTo(cell.word);
  ControlSetText(FormFindControlById(part, kOwnerRow), LookupLocalizedName(world, world.players[owner]));

  const HexUnitStack* stack = LoadHexStack(cell);
  const char* label = stack && stack->extra ? stack->extra->text : nullptr;
  ControlSetText(FormFindControlById(part, kLabelRow), label ? std::string(label, strnlen(label, kLabelNameMax)).c_str() : "");

  Control* facility = FormFindControlById(part, kFacilityRow);
  const UnitClassRecord* cls = KnownClass(world, cell);
  ControlSetText(facility, cls ? std::string(cls->name, strnlen(cls->name, sizeof cls->name)).c_str() : "");
  if (facility && (facility->kind == kKindString || facility->kind == kKindText))
    static_cast<StringControl*>(facility)->fontSlot = kFacilityFontSlot;

  ControlSetText(FormFindControlById(part, kPeopleRow), HexPeopleText(world, cell).c_str());

  if (SlideBarControl* bar = AsSlideBar(FormFindControlById(part, kLoyaltyBar))) {
    const float loyalty = HexLoyalty(world, cell);
    SliderSetMaxFloat(bar, 1.0f);
    SliderSetValueFloatNotify(bar, loyalty);
    ControlSetText(bar, NumberText(loyalty * 100.0f, " %").c_str());
    SetBarColour(bar, loyal);
  }
  if (SlideBarControl* bar = AsSlideBar(FormFindControlById(part, kLevelBar))) {
    const uint8_t level = HexLevelByte(world, cell);
    SliderSetMaxInt(bar, kLevelMax);
    SliderSetValueIntNotify(bar, level);
    ControlSetText(bar, NumberText(static_cast<float>(level) / 2.5f, " %").c_str());
    SetBarColour(bar, owner);
  }
  if (SlideBarControl* bar = AsSlideBar(FormFindControlById(part, kCoverBar))) {
    SliderSetMaxFloat(bar, kCoverMax);
    SliderSetValueFloatNotify(bar, TerrainDefenceFactor(world, cell));
    SetBarColour(bar, owner);
  }
}

void FillSecondPart(const World& world, Control* part, const HexCell& cell) {
  const TerrainRecord* t = TerrainOf(world, cell);
  ControlSetText(FormFindControlById(part, kTerrainRow), t ? TerrainName(*t).c_str() : "");
  ControlSetText(FormFindControlById(part, kCountRow), "0");
}

// What a part shows through the fills that do not draw it again
// themselves: its controls' texts, looks and colours, in tree order.
std::string PartLook(Control* part) {
  std::string look;
  ControlTreeForEach(part, kAnyDepth, 1, [&look](Control* c) {
    look += c->text;
    look += '\0';
    const uint32_t words[4] = {c->state & ~kStateDirty, c->fills[0], c->fills[1], c->fills[2]};
    look.append(reinterpret_cast<const char*>(words), sizeof words);
  });
  return look;
}

}  // namespace

int32_t HexInfoPopup::AttachForm(Control*) { return AttachFullSidePanel(*this); }

void HexInfoPopup::BindControls() {
  LabelProductTabs(currentForm);
  columns[0] = FormFindControlByTag(currentForm, "SPAR3");
  columns[1] = FormFindControlByTag(currentForm, "CPAR3");
  plainPanels[0].mode = 1;
  MarkScreenFlag1(*this);
}

void HexInfoPopup::Refresh() {
  if (!g_uiOptions.sidescreens || !currentForm) return;
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& world = g_world;
  const GameState& state = world.gameState;
  const int32_t cells[2] = {RoleCell(state.currentHex), RoleCell(state.viewHex)};
  bool plainShown = false;
  for (int role = 0; role < 2; ++role) {
    const int32_t cell = cells[role];
    if (cell <= 0) continue;
    // The pointer resting on the selected hex repeats nothing: its column
    // gives the ground.
    const bool sameHex = role == 1 && cell == cells[0];
    const HexCell* c = HexCellOf(world, cell);
    if (c && !sameHex && ShownUnit(world, *c)) {
      industryPanels[role].Show(cell, columns[role]);
    } else {
      plainPanels[role].Show(cell, columns[role]);
      plainShown = true;
    }
  }
  SetHidden(FormFindControlByTag(currentForm, "NAMEHIDE"), !plainShown);
  FillHexDistanceParams(kCursorColumn, currentForm, cells[1] >= 0, cells[1]);
  FillHexDistanceParams(kSelectedColumn, currentForm, cells[0] >= 0, cells[0]);
  ShowHexDistance(world, currentForm, distanceShown, state.currentHex, state.viewHex);
}

void FillHexDistanceParams(char letter, Control* form, bool present, int32_t cellIndex) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!form) return;
  char tags[3][6] = {"SPAR1", "SPAR2", "SPAR3"};
  Control* parts[3];
  for (int i = 0; i < 3; ++i) {
    tags[i][0] = letter;
    parts[i] = FormFindControlByTag(form, tags[i]);
  }
  const World& world = g_world;
  const HexCell* cell = present ? HexCellOf(world, cellIndex) : nullptr;
  for (Control* part : parts) SetHidden(part, cell == nullptr);
  if (!cell) return;
  if (parts[0]) {
    // Filled four times a second: drawn again only when the hex changed.
    const std::string before = PartLook(parts[0]);
    FillFirstPart(world, parts[0], *cell);
    if (PartLook(parts[0]) != before) parts[0]->Invalidate();
  }
  if (parts[1]) FillSecondPart(world, parts[1], *cell);
}
