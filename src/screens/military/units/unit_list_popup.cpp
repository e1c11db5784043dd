#include "screens/military/units/unit_list_popup.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "app/duration_text.h"
#include "platform/messages.h"
#include "records/command_ids.h"
#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/frame/map_click.h"
#include "screens/common/frame/unit_selection.h"
#include "screens/common/frame/main_layout.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/common/units/unit_lists.h"
#include "screens/common/units/orders_summary.h"
#include "screens/military/production/production_lists.h"
#include "screens/military/units/unit_detail_panels.h"
#include "screens/common/units/unit_header.h"
#include "screens/military/units/unit_progress_row.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "sim/unit_order_args.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "units/unit_texts.h"
#include "world/data_tables.h"
#include "world/id_lookups.h"
#include "world/list_holder.h"
#include "world/text/ui_options.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/unit_create.h"
#include "world/unit_groups.h"
#include "world/world.h"
#include "world/local_player.h"

namespace {

constexpr int32_t kCategoryButtons = 200, kModeButtons = 210, kGroupButtons = 240;
constexpr uint32_t kNameIdle = 0xFFFFFF64u, kNameBusy = 0xFFC8C8C8u;
constexpr const char* kPagePanels[] = {"4A", "4B", "4C", "4D"};

const char* const kUnitListTags[] = {"LIST1", "DETAILS1", "DETAILS2", "STATUS", "SPECPAR", "GRHIDE"};

// A button of the pop-up's own form, at most two boxes down: the unit's
// panels shown in DETAILS1 and DETAILS2 hang deeper and number their own
// controls as these are (a class row's 200 is no category button).
Control* OwnButton(Control* form, int32_t id) {
  return form ? FindControlById(form->firstChild, id, 2, 1) : nullptr;
}

bool InReserve(const World& w, const UnitRecord& u) {
  const OrderBlock& o = u.owner == w.gameState.localPlayer ? u.ordersShown : u.orders;
  return (o[kPostureBits] & kPostureInReserve) != 0;
}

const UnitRecord* UnitOf(intptr_t id) {
  plat::CriticalSectionLock lock(g_simulationLock);
  return id > 0 ? FindUnitById(g_world, static_cast<uint32_t>(id)) : nullptr;
}

uint32_t NameColour(const UnitRecord& u) {
  if (u.ordersShown[kStateFlags] & kStatePausedBuild) return kNameBusy;
  return u.ordersShown[kOrderFlags] == 0 && u.ordersShown[1] == 0 ? kNameIdle : kNameBusy;
}

void SetColour(Control* c, uint32_t colour) {
  if (auto* s = dynamic_cast<StringControl*>(c)) s->textColour = colour;
}

// The build bar of a unit being built, and the days it still needs.
float ShowBuild(Control* form, const UnitRecord& u, const UnitClassRecord& cls) {
  const float s = u.targetStrength < 1.0f ? std::sqrt(std::max(u.targetStrength, 0.0f)) : u.targetStrength;
  const float total = static_cast<float>(cls.strengthPerSize) * cls.buildWorkPerPoint * s + 1.0f;
  const float remaining = u.buildWork;
  if (auto* bar = dynamic_cast<SlideBarControl*>(Tag(form, "PROGBAR"))) {
    const float elapsed = total - remaining;
    SliderSetMaxFloat(bar, total);
    const bool second = g_uiOptions.buiprogbarstyle != 0;
    SliderSetValueFloatNotify(bar, second ? 0.0f : elapsed);
    SliderSetValueIntRaw(bar, second ? SliderPositionOfFloat(bar, elapsed) : 0);
  }
  SetControlFlag(Tag(form, "AUTOBUT"), kStateSelected, (u.ordersShown[kStateFlags] & kStateDeployRefused) ? 1 : 0);
  SetControlFlag(Tag(form, "CONTBUT"), kStateSelected, (u.ordersShown[kStateFlags] & kStateDeployDue) ? 1 : 0);
  return remaining;
}

bool InGroup(const ListHolder& group, const UnitRecord& u) {
  for (ListItem28* i = FirstInHolder(group); i; i = NextInHolder(group, i))
    if (i->object == &u || static_cast<uint32_t>(i->callerWord) == u.id) return true;
  return false;
}

// The row's unit and its class; a null class when either is gone. Call under
// the simulation lock.
std::pair<const UnitRecord*, const UnitClassRecord*> UnitAndClassOf(intptr_t id) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* u = UnitOf(id);
  return {u, u ? ClassRecordAt(g_world, u->classIndex) : nullptr};
}

}  // namespace

std::vector<uint32_t> UnitListUnits(const World& w, int32_t category, int32_t mode) {
  ListHolder sorted{};
  const int32_t local = w.gameState.localPlayer;
  const UnitRecord* head = w.units;
  for (const UnitRecord* u = head; u; u = u->next == head ? nullptr : u->next) {
    const UnitClassRecord* cls = ClassRecordAt(w, u->classIndex);
    if (!cls || (u->unitFlags & kUnitGone) || (cls->flags & (kClassFacility | kClassStock))) continue;
    // The list category: the class's kind, land to submarine.
    if (cls->kind != category) continue;
    if (local > -1 && UnitRelationCode(w, *u, local) != 1) continue;
    const bool built = (u->ordersShown[kPostureBits] & kPostureUnderConstruction) != 0;
    if (built != (mode == 2)) continue;
    const bool reserve = InReserve(w, *u);
    if (reserve != (mode != 0)) continue;
    if ((u->unitFlags & kUnitStock) && !reserve) continue;
    if (mode == 2 && (u->ordersShown[kStateFlags] & kStateModeC)) continue;
    const float key = static_cast<float>(cls->typeByte) * 10000.0f + static_cast<float>(u->classIndex);
    NewListNode(const_cast<UnitRecord*>(u), key, false, 0, sorted);
  }
  std::vector<uint32_t> out;
  for (ListItem28* i = FirstInHolder(sorted); i; i = NextInHolder(sorted, i))
    out.push_back(static_cast<const UnitRecord*>(i->object)->id);
  ListHolderClear(sorted);
  return out;
}

void UnitListRow::BindControls() {
  classHost_ = Tag(currentForm, "SCLASSPAR");
  nameText_ = Id(currentForm, 2);
}

void UnitListRow::OnOpen() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const auto [u, cls] = UnitAndClassOf(id);
  if (!cls) return;
  if (classHost_) g_screens.militarySclass[17].Show(cls->typeByte, classHost_);
  SetControlText(nameText_, UnitDisplayName(g_world, *u, true).c_str());
}

void UnitListRow::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const auto [u, cls] = UnitAndClassOf(id);
  Control* f = currentForm;
  if (!cls || !f) return;
  SetControlText(Id(f, 7), UnitPositionText(g_world, *u).c_str());
  const float full = static_cast<float>(cls->strengthPerSize) * u->targetStrength;
  if (cls->strengthPerSize == 1) {
    SetHidden(Id(f, 3), true);
    SetHidden(Id(f, 4), true);
    char text[24];
    std::snprintf(text, sizeof text, "%3.0f %%", static_cast<double>(u->strength * 100.0f));
    SetControlText(Id(f, 213), text);
    SetControlFlag(Id(f, 213), kStateSelected, u->strength < 0.3f ? 1 : 0);
  } else {
    SetHidden(Id(f, 3), false);
    SetHidden(Id(f, 4), false);
    SetControlText(Id(f, 213), "/");
    SetFormatted(Id(f, 3), "%d", static_cast<int32_t>(std::lround(u->strength)));
    SetControlFlag(Id(f, 3), kStateSelected, u->strength < 0.3f * full ? 1 : 0);
    SetFormatted(Id(f, 4), "%d", static_cast<int32_t>(std::lround(full)));
  }
  SetHidden(Id(f, 212), !InReserve(g_world, *u));
  const CargoMark mark = CargoMarkOf(g_world, *u);
  SetHidden(Id(f, 5), mark != CargoMark::kMissiles);
  SetHidden(Id(f, 9), mark != CargoMark::kCargo);
  SetHidden(Id(f, 211), !(u->fuel < cls->fuelCapacity * u->strength / 5.0f));
  SetHidden(Id(f, 210), !(u->ammo < AmmunitionRoomOf(g_world, *u, *cls).capacity / 5.0f));
  SetColour(nameText_, NameColour(*u));
}

namespace {

class UnitListBuildRow : public UnitListRow {
 public:
  UnitListBuildRow() : UnitListRow("POPUP_ULIST1b") {}
  void Refresh() override {
    plat::CriticalSectionLock lock(g_simulationLock);
    const auto [u, cls] = UnitAndClassOf(id);
    Control* f = currentForm;
    if (!cls || !f) return;
    SetControlText(Id(f, 7), UnitPositionText(g_world, *u).c_str());
    const float remaining = ShowBuild(f, *u, *cls);
    SetControlText(Id(f, 5), FormatDuration(remaining).c_str());
    SetColour(nameText_, NameColour(*u));
  }
};

class UnitListProductionPanel : public Screen {
 public:
  UnitListProductionPanel() : Screen("POPUP_ULIST1d") {}
  void Refresh() override {
    plat::CriticalSectionLock lock(g_simulationLock);
    const auto [u, cls] = UnitAndClassOf(id);
    if (!cls || !currentForm) return;
    SetControlText(Tag(currentForm, "NAME"), cls->name);
    SetControlText(Tag(currentForm, "TURNS"), FormatDuration(ShowBuild(currentForm, *u, *cls)).c_str());
  }
  void OnCommand(Control* control, int32_t) override {
    if (!control || id <= 0) return;
    const auto unit = static_cast<uint32_t>(id);
    const uint32_t on = control->Selected() ? 1u : 0u;
    if (Is(control, "AUTOBUT")) PostArgs(kCmdUnitSetStateBits, OrderBitsArgs{.unit = unit, .bits = kStateDeployRefused,
                                                                             .set = on});
    if (Is(control, "CONTBUT")) PostArgs(kCmdUnitSetStateBits, OrderBitsArgs{.unit = unit, .bits = kStateDeployDue,
                                                                             .set = on});
    UnitListPopup& popup = g_screens.unitList;
    if (popup.currentForm) popup.Refresh();
    if ((g_ui.keyState & plat::kMkShift) && popup.list) ListSelectNext(popup.list);
  }
};

}  // namespace

std::unique_ptr<Screen> MakeUnitListBuildRow() { return std::make_unique<UnitListBuildRow>(); }

std::unique_ptr<Screen> MakeUnitListProductionPanel() { return std::make_unique<UnitListProductionPanel>(); }
void UnitListOrdersPanel::BindControls() { summaryHost_ = Tag(currentForm, "ORDERS1C"); }

namespace {

// The map unit panels the pages show: 4A the summary, 4B the status, 4C the
// cargo, 4D the extra figures.
Screen* PagePanel(int32_t page) {
  UnitPanel& units = g_screens.mapScreen.units;
  switch (page) {
    case 0: return &units.summary;
    case 1: return &units.status;
    case 2: return &units.cargo;
    default: return &units.extra;
  }
}

}  // namespace

// The summary of a unit not being built is the orders picker's sheet,
// which the picker shows again whenever it opens.
OrdersUnitSummary& UnitListOrdersPanel::Summary() { return g_screens.orderSheets[1]; }

void UnitListOrdersPanel::ShowPage(int32_t shown) {
  page = shown;
  for (int32_t p = 0; p < 4; ++p) SetControlFlag(Tag(currentForm, kPagePanels[p]), kStateSelected, p == page ? 1 : 0);
  Control* host = g_screens.unitList.details2;
  if (host && unit != 0) PagePanel(page)->Show(static_cast<intptr_t>(unit), host);
}

void UnitListOrdersPanel::OnOpen() {
  const bool changed = id != static_cast<intptr_t>(unit);
  unit = static_cast<uint32_t>(id);
  bool building = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* u = UnitOf(id);
    building = u && UnitUnderConstruction(*u);
  }
  bool showPage = changed;
  if (building) {
    if (summaryHost_) g_screens.unitListProduction->Show(id, summaryHost_);
    if (page == 0 || page == 2) page = 1, showPage = true;
  } else if (summaryHost_) {
    Summary().Show(id, summaryHost_);
  }
  if (showPage) ShowPage(page);
}

void UnitListOrdersPanel::Refresh() {
  Control* f = currentForm;
  if (!f) return;
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* u = UnitOf(static_cast<intptr_t>(unit));
  const UnitClassRecord* cls = u ? ClassRecordAt(g_world, u->classIndex) : nullptr;
  if (!cls) return;
  const bool building = UnitUnderConstruction(*u);
  DrawUnitPicture(f, *cls, u, -1, 1);
  // A class that carries nothing has no cargo page.
  const bool carriesNothing = cls->carryCapacity == 0.0f && cls->cargoSlots == 0;
  SetHidden(Tag(f, "4C"), carriesNothing || building);
  SetHidden(Tag(f, "UNITORDER"), building);
  SetHidden(Tag(f, "4A"), building);
  UpdateQueueButtons(f, *u);
}

void UnitListOrdersPanel::OnCommand(Control* control, int32_t) {
  if (!control) return;
  if (Is(control, "CENTRE")) {
    plat::CriticalSectionLock lock(g_simulationLock);
    GotoMapObject(UnitOf(static_cast<intptr_t>(unit)));
    return;
  }
  if (Is(control, "UNITORDER")) {
    if (unit == 0) return;
    CloseAllPopups(g_ui, 0);
    OrderUnitOnMap(g_screens, static_cast<int32_t>(unit));
    return;
  }
  for (int32_t p = 0; p < 4; ++p) {
    if (Is(control, kPagePanels[p])) {
      if (unit != 0) ShowPage(p);
      return;
    }
  }
  OnQueueButton(control, unit, currentForm);
  if (g_screens.unitList.currentForm) g_screens.unitList.Refresh();
}

UnitListPopup::UnitListPopup() : Screen("POPUP_ULIST1", FormLookups{.tags = kUnitListTags, .ids = {}}) {}

void UnitListPopup::BindControls() {
  list = MakeListBox("LIST1", 0, currentForm, 0, this);
  details1 = Tag(currentForm, "DETAILS1");
  details2 = Tag(currentForm, "DETAILS2");
}

namespace {

// How deep the dock stood when the list opened. The unit pages the list
// shows beside its rows open the dock as they do when docked; the levels
// they open and leave empty go when the list closes.
int32_t g_dockDepthAtOpen = 0;

}  // namespace

void UnitListPopup::OnOpen() {
  g_dockDepthAtOpen = g_ui.panelDepth;
  Control* reserve = OwnButton(currentForm, 211);
  Control* building = OwnButton(currentForm, 212);
  mode = reserve && reserve->Selected() ? 1 : (building && building->Selected() ? 2 : 0);
  g_screens.unitListOrders.unit = 0;
}

void UnitListPopup::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  Control* f = currentForm;
  if (!f) return;
  Control* modeButton = OwnButton(f, kModeButtons + mode);
  Control* categoryButton = OwnButton(f, kCategoryButtons + category);
  char title[96];
  std::snprintf(title, sizeof title, "%s - %s", modeButton ? modeButton->text.c_str() : "",
                categoryButton ? categoryButton->text.c_str() : "");
  SetControlText(Tag(f, "STATUS"), title);
  SetHidden(Tag(f, "PRODHEADER"), mode < 2);
  SetHidden(Tag(f, "UNITHEADER"), mode == 2);
  // With no local player there are no groups to fill.
  if (LocalPlayerIndex(g_world) < 0) SetHidden(Tag(f, "GRHIDE"), true);
  if (!list) return;
  const int32_t selected = list->selectedId;
  int32_t fallback = 0;
  for (Control* row = list->firstRow; row; row = ListNextRow(list, row)) {
    if (!row->Selected()) continue;
    Control* next = ListNextRow(list, row);
    fallback = next ? next->id : 0;
    break;
  }
  const int32_t scroll = list->scrollOffset;
  ListClear(list, 1);
  std::vector<uint32_t> units;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    units = UnitListUnits(g_world, category, mode);
  }
  Screen& row = mode == 2 ? *g_screens.unitListBuildRow : static_cast<Screen&>(g_screens.unitListRow);
  const Control* rowForm = g_screens.unitListRow.form;
  const int32_t width = rowForm ? Width(rowForm) : Width(list) - 16;
  const int32_t height = rowForm ? Height(rowForm) : 0;
  for (uint32_t unit : units) ListAddIconItem(list, &row, width, height, static_cast<int32_t>(unit), 0, 0, 0);
  ListLayoutRows(list);
  list->scrollOffset = scroll;
  if (selected) ListSetSelection(0, list, selected, 0);
  if (list->selectedId == 0 && fallback) ListSetSelection(0, list, fallback, 0);
  if (list->selectedId == 0 && list->firstRow) ListSelectItem(0, list, list->firstRow, 0);
  // An empty list chooses nothing, so no change tells the pane beside it
  // that its unit left the list.
  if (list->selectedId == 0) OnControlChange(list, 0);
}

void UnitListPopup::OnCommand(Control* control, int32_t controlId) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!control) return;
  const int32_t cid = control->id ? control->id : controlId;
  if (Is(control, "CLOSEBUT")) {
    Close(0);
  } else if (cid >= kCategoryButtons && cid <= kCategoryButtons + 3) {
    category = cid - kCategoryButtons;
    if (list) ListResetScroll(list);
    Refresh();
  } else if (cid >= kModeButtons && cid <= kModeButtons + 2) {
    mode = cid - kModeButtons;
    if (list) ListResetScroll(list);
    Refresh();
  } else if (cid >= kGroupButtons && cid < kGroupButtons + kUnitGroupsPerPlayer) {
    const int32_t local = LocalPlayerIndex(g_world);
    const uint32_t unitId = list ? static_cast<uint32_t>(list->selectedId) : 0;
    // Without a local player there is no group list to change.
    if (local < 0 || unitId == 0) return;
    {
      plat::CriticalSectionLock sim(g_simulationLock);
      WorldLockGuard lock(g_world, kLockRecurring);
      UnitRecord* u = FindUnitById(g_world, unitId);
      ListHolder& group = g_world.unitGroups.groups[local][cid - kGroupButtons];
      if (u && control->Selected()) {
        NewListItem28(u, false, static_cast<intptr_t>(u->id), group);
      } else if (u) {
        for (ListItem28* i = FirstInHolder(group); i; i = NextInHolder(group, i)) {
          if (i->object == u || static_cast<uint32_t>(i->callerWord) == u->id) {
            ListHolderRemove(group, i);
            break;
          }
        }
      }
    }
    if (g_ui.keyState & plat::kMkShift) ListSelectNext(list);
  }
}

void UnitListPopup::OnActivate(Control* control, int32_t) {
  if (!control || control != list || list->selectedId <= 0) return;
  g_screens.unitDetail.Popup(list->selectedId, nullptr);
}

void UnitListPopup::OnControlChange(Control* control, int32_t) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!control || control != list) return;
  Control* f = currentForm;
  const uint32_t unitId = static_cast<uint32_t>(std::max(list->selectedId, 0));
  bool present = false, building = false;
  bool member[kUnitGroupsPerPlayer] = {};
  const int32_t local = LocalPlayerIndex(g_world);
  {
    plat::CriticalSectionLock sim(g_simulationLock);
    const UnitRecord* u = unitId ? FindUnitById(g_world, unitId) : nullptr;
    present = u != nullptr;
    if (u) {
      building = UnitUnderConstruction(*u);
      if (local >= 0) {
        WorldLockGuard lock(g_world, kLockRecurring);
        for (int32_t g = 0; g < kUnitGroupsPerPlayer; ++g) member[g] = InGroup(g_world.unitGroups.groups[local][g], *u);
      }
    }
  }
  SetHidden(Tag(f, "SPECPAR"), !present);
  if (!present) {
    for (const char* tag : {"DETAILS1", "DETAILS2", "GRHIDE"}) SetHidden(Tag(f, tag), true);
    return;
  }
  if (details1) g_screens.unitListOrders.Show(static_cast<intptr_t>(unitId), details1);
  SetHidden(details1, false);
  SetHidden(details2, false);
  const bool groups = !building && local >= 0;
  SetHidden(Tag(f, "GRHIDE"), !groups);
  if (!groups) return;
  for (int32_t g = 0; g < kUnitGroupsPerPlayer; ++g)
    SetControlFlag(OwnButton(f, kGroupButtons + g), kStateSelected, member[g] ? 1 : 0);
}

int32_t UnitListPopup::Close(int32_t noReturn) {
  const int32_t result = Screen::Close(noReturn);
  Control* host = DockHost(g_screens, kDockLevelThird);
  if (host && !host->Hidden() && host->firstChild && host->firstChild->owner)
    host->firstChild->owner->Show(kKeepScreenId, nullptr);
  int32_t depth = g_ui.panelDepth;
  while (depth > g_dockDepthAtOpen && depth > 0) {
    const Control* level = DockHost(g_screens, depth);
    if (level && level->firstChild) break;
    --depth;
  }
  if (depth != g_ui.panelDepth) SetPanelDepth(depth, 1, g_mapView);
  return result;
}
