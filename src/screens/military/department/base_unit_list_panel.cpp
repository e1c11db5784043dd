#include "screens/military/department/base_unit_list_panel.h"

#include <climits>
#include <string>

#include "platform/threads.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/frame/map_click.h"
#include "screens/common/units/class_icon.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/common/units/build_lists.h"
#include "screens/military/production/production_lists.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "units/hex_geometry.h"
#include "units/unit_texts.h"
#include "world/id_lookups.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

// The pictures of the three category buttons: a barracks, an airfield, a
// harbour.
constexpr int32_t kCategoryPictureClasses[] = {4054, 4015, 4014};

// Units its hex's lead facility has queued: none when the lead is gone or
// not yet confirmed.
int32_t QueuedAtHex(const World& world, const UnitRecord& base) {
  const int64_t at = HexCellIndex(MapShape(world), MakeHexPos(base.x, base.y));
  if (at < 0 || static_cast<size_t>(at) >= world.cells.size()) return 0;
  const HexUnitStack* stack = world.cells[static_cast<size_t>(at)].stack;
  const UnitRecord* lead = stack ? stack->lead : nullptr;
  if (!lead || !IsUnitLive(*lead) || (lead->unitFlags & kUnitProvisional)) return 0;
  return lead->leadValue;
}

const UnitRecord* LiveUnit(const World& world, uint32_t id) {
  const UnitRecord* u = id ? FindUnitById(world, id) : nullptr;
  return u && IsUnitLive(*u) ? u : nullptr;
}

}  // namespace

const UnitRecord* FindBestBuildBase(const World& world, int32_t player, int32_t category) {
  const UnitRecord* best = nullptr;
  int32_t bestScore = INT_MIN;
  for (const UnitRecord* u = world.units; u; u = u->next == world.units ? nullptr : u->next) {
    if (!IsUnitLive(*u) || u->owner != player || !(u->unitFlags & kUnitFacility)) continue;
    if (u->ordersShown[kPostureBits] & kPostureInReserve) continue;  // offline
    const UnitClassRecord* cls = UnitClassOf(world, *u);
    if (!cls || (cls->flags & kClassExcludedKinds) || !(cls->flags & kClassSettlement) || cls->baseKind != 0 ||
        cls->baseSlots == 0)
      continue;
    if (BaseFacilityCategory(cls) != category) continue;
    const int32_t score = cls->baseSlots - QueuedAtHex(world, *u);
    if (score > bestScore) {
      bestScore = score;
      best = u;
    }
  }
  return best;
}

void BaseUnitListPanel::BindControls() {
  DockInSecondBotbar2(*this);
  list = MakeListBox("LIST5", 0, currentForm, kListIndicators, this);
  statParent = Tag(currentForm, "STATPARENT");
  // The category buttons: a faint normal fill, the other looks clear.
  for (const char* tag : {"LANDBUT", "AIRBUT", "SEABUT"}) {
    if (Control* c = Tag(currentForm, tag)) {
      c->fills[0] = (c->fills[0] & 0x00FFFFFFu) | 0x4B000000u;
      c->fills[1] &= 0x00FFFFFFu;
      c->fills[2] &= 0x00FFFFFFu;
    }
  }
}

void BaseUnitListPanel::OnOpen() {
  Control* f = currentForm;
  state.selected = nullptr;
  state.strength = 1.0f;
  state.quantity = 1;
  ShowBuildOptions(f);
  const Control* sea = Id(f, kBaseCategoryButtons[2]);
  const Control* air = Id(f, kBaseCategoryButtons[1]);
  state.category = sea && sea->Selected() ? 2 : air && air->Selected() ? 1 : 0;
  for (int i = 0; i < 3; ++i)
    DrawUnitClassIcon(kCategoryPictureClasses[i], nullptr, nullptr, Id(f, kBaseCategoryPictures[i]), true, -1);
  const HexCell* cell = nullptr;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* base = FindBestBuildBase(g_world, g_world.gameState.localPlayer, state.category);
    baseId = base ? base->id : 0;
    if (base) {
      GotoMapObject(base);
      cell = HexCellAt(g_world, MapShape(g_world), MakeHexPos(base->x, base->y));
    }
  }
  OpenBuildList(f, state, 0, cell);
  ScreenSlotSelectMapMode(g_screens);
}

void BaseUnitListPanel::Refresh() {
  FillBuildList(currentForm, state, 0, 0);
  std::string place;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (const UnitRecord* base = LiveUnit(g_world, baseId)) place = HexPositionText(g_world, MakeHexPos(base->x, base->y));
  }
  ControlSetText(Tag(currentForm, "BASENAME"), place.c_str());
}

void BaseUnitListPanel::OnCommand(Control* control, int32_t controlId) {
  if (!control) return;
  const int32_t value = control == list ? static_cast<int32_t>(list->selectedValue) : (control->id ? control->id : controlId);
  if (control != list && value >= kBaseCategoryButtons[0] && value <= kBaseCategoryButtons[2]) {
    state.category = value - kBaseCategoryButtons[0];
    state.selected = nullptr;
    Show(id, nullptr);
  } else if (ControlTagMatches(control->tag, "BASENAME")) {
    // The base is looked up anew: one destroyed since it was chosen scrolls nowhere.
    plat::CriticalSectionLock lock(g_simulationLock);
    GotoMapObject(LiveUnit(g_world, baseId));
  } else {
    OnBuildListCommand(currentForm, state, SelectedHexCell(), control, value, this, this);
    Show(id, nullptr);
  }
}

void BaseUnitListPanel::OnControlChange(Control* control, int32_t) {
  const intptr_t value = control && control == list ? list->selectedValue : 0;
  OnBuildListChange(control, currentForm, state, value,
                    BuildListChange{.details = &g_screens.unitPicturePanels[0], .detailsParent = statParent});
}

void BaseUnitListPanel::OnActivate(Control* control, int32_t controlId) {
  if (!control || control != list || controlId == 0) return;
  if (const intptr_t item = list->selectedValue; item != 0) g_screens.unitBuild.Popup(item, &BuildListClasses());
}
