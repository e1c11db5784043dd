#include "screens/common/facilities/facility_list_services.h"

#include <algorithm>
#include <string>
#include <utility>

#include "app/number_text.h"
#include "platform/fpenv.h"
#include "records/hex_cell.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "screens/common/product_period.h"
#include "screens/common/facilities/facility_status.h"
#include "screens/common/units/class_icon.h"
#include "screens/common/facilities/facility_actions.h"
#include "screens/common/facilities/facility_figures.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/common/units/unit_lists.h"
#include "screens/screen_set.h"
#include "sim/daily/product_fields.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/scroller.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "units/unit_texts.h"
#include "world/data_tables.h"
#include "world/id_lookups.h"
#include "world/text/text_lists.h"
#include "world/unit_class.h"
#include "world/world.h"

namespace {

constexpr float kDaysInYear = 365.0f;
constexpr int32_t kFirstRefined = 8;

ListHolder& CurrentObjectList(ScreenSet& screens) { return screens.workingLists[kCurrentObjectListIndex]; }

std::string ProductName(int32_t product) {
  const char* name = TextListEntry(g_textLists, kListProducts, product);
  return name ? name : "";
}

void AddNeedRow(ListBoxControl* list, int32_t product, float amount) {
  char text[64];
  plat::FormatText(text, sizeof text, "%s  %.2f", ProductName(product).c_str(), static_cast<double>(amount));
  ListAddTextItem(list, text, product + 1, product + 1, 0, 0, 0);
}

// The facility's class when it is a live silo or launch site, which hold
// the region's stock weapons.
const UnitClassRecord* LaunchFacilityClass(const World& world, const UnitRecord* facility) {
  if (!facility || !IsUnitLive(*facility)) return nullptr;
  const UnitClassRecord* cls = UnitClassOf(world, *facility);
  return cls && (cls->baseKind == kBaseKindSilo || cls->baseKind == kBaseKindLaunchSite) ? cls : nullptr;
}

// DEPLOY: the region's stock weapons beside the chosen facility. A silo's
// own missiles are listed next to the stock; the silo panels read the
// map's selected hex, so the silo's hex becomes it.
void OpenStockPanel(ScreenSet& screens, const ListBoxControl* list) {
  uint32_t siloHex = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* f = list && IsFacilityRow(list->selectedId)
                              ? FindUnitById(g_world, static_cast<uint32_t>(list->selectedId))
                              : nullptr;
    const UnitClassRecord* cls = LaunchFacilityClass(g_world, f);
    if (cls && cls->baseKind == kBaseKindSilo) siloHex = PackHex(f->x, f->y);
  }
  if (siloHex == 0) {
    screens.siloStoredMissiles->Show(kKeepScreenId, nullptr);
    return;
  }
  GotoHexPacked(siloHex);
  screens.siloStoredMissiles2->Show(kKeepScreenId, nullptr);
}

}  // namespace

void FacilityTypeInfoFill::OnOpen() {
  Control* f = currentForm;
  if (!f) return;
  const auto value = static_cast<int32_t>(id);
  const int32_t product = std::min<int32_t>(hostMark, kProductCount - 1);
  Control* picture = Tag(f, "INDBMP");
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  if (!IsFacilityRow(value)) {
    SetText(Tag(f, "BASENAME"), value == kTerrainOutputRow ? "Terrain production" : "City production");
    SetText(Tag(f, "STATUS"), "");
    const int32_t local = w.gameState.localPlayer;
    const size_t field = value == kTerrainOutputRow ? product::kRawOutput : product::kCityOutput;
    const float amount = local >= 0 && local < kMaxPlayers ? product::Get(w.players[local], product, field) : 0.0f;
    // Written whole: rows are reused, and a facility row's condition ("100 %")
    // leaves the text no more room than its own five characters.
    char text[kNumberTextSize];
    SetText(Tag(f, "AMOUNT"), FormatNumberText(text, 0, 0, "", 0, "", 0, static_cast<double>(amount / ProductPeriodDivisor())));
    DrawUnitClassIcon(product, nullptr, nullptr, picture, false, -1);
    return;
  }
  const UnitRecord* unit = FindUnitById(w, static_cast<uint32_t>(value));
  if (unit && !IsUnitLive(*unit)) unit = nullptr;
  const UnitClassRecord* cls = unit ? UnitClassOf(w, *unit) : nullptr;
  const uint32_t cell = UnitCellIndex(w, unit);
  SetText(Tag(f, "BASENAME"), unit ? HexPositionText(w, PackHex(unit->x, unit->y)) : "");
  const char* status = TextListEntry(g_textLists, kListUgstatus, FacilityStatus(w, cell));
  SetText(Tag(f, "STATUS"), status ? status : "");
  char condition[16] = "";
  if (unit) plat::FormatText(condition, sizeof condition, "%3.0f %%", static_cast<double>(std::min(unit->strength, 1.0f) * 100.0f));
  SetText(Tag(f, "AMOUNT"), condition);
  if (cls) DrawUnitClassIcon(unit->classIndex, unit, cls, picture, true, -1);
}

UnitRecord* CurrentFacility(ScreenSet& screens, const World& world) {
  const ListItem28* first = FirstInHolder(CurrentObjectList(screens));
  return first ? RefUnit(world, *first) : nullptr;
}

void SetCurrentFacility(ScreenSet& screens, const World& world, int32_t unitId) {
  ListHolder& current = CurrentObjectList(screens);
  ListHolderClear(current);
  UnitRecord* unit = IsFacilityRow(unitId) ? FindUnitById(world, static_cast<uint32_t>(unitId)) : nullptr;
  if (unit) NewListItem28(unit, false, static_cast<intptr_t>(unit->id), current);
}

uint32_t UnitCellIndex(const World& world, const UnitRecord* unit) {
  if (!unit || unit->x < 0 || unit->y < 0 || unit->x >= world.mapWidth || unit->y >= world.mapHeight)
    return kNoCellIndex;
  const size_t at = static_cast<size_t>(unit->y) * static_cast<size_t>(world.mapWidth) + static_cast<size_t>(unit->x);
  return at < world.cells.size() ? static_cast<uint32_t>(at) : kNoCellIndex;
}

void FacilityListCommand(ScreenSet& screens, Control* form, Control* control, int32_t id, ListBoxControl* list,
                         Screen* detail, int32_t detailId) {
  if (!control || control == list) return;
  if (Is(control, "DEPLOY")) {
    OpenStockPanel(screens, list);
    return;
  }
  if (control->id == kNewFacilityControlId) {
    if (list) ListSetSelection(0, list, 0, 0);
    ListHolderClear(CurrentObjectList(screens));
    if (detail) detail->Show(detailId, nullptr);
    return;
  }
  uint32_t cell = kNoCellIndex;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (list && IsFacilityRow(list->selectedId))
      cell = UnitCellIndex(g_world, FindUnitById(g_world, static_cast<uint32_t>(list->selectedId)));
  }
  if (cell == kNoCellIndex) return;
  OnFacilityActionCommand(form, control, id, cell, nullptr, nullptr, nullptr, nullptr);
}

void FacilityListRow(ScreenSet& screens, Control* form, int32_t unitId, Screen* condition) {
  uint32_t cell = kNoCellIndex;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetCurrentFacility(screens, g_world, unitId);
    cell = UnitCellIndex(g_world, CurrentFacility(screens, g_world));
  }
  UpdateFacilityActionButtons(form, cell);
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    ShowTag(form, "DEPLOY", LaunchFacilityClass(g_world, CurrentFacility(screens, g_world)) != nullptr);
  }
  if (condition && condition->currentForm) condition->Refresh();
}

void DescribeProductUse(const World& world, ListBoxControl* list, int32_t product) {
  if (!list) return;
  ListClear(list, 1);
  if (product >= kFirstRefined && product < kProductCount)
    for (int32_t q = 0; q < kProductCount; ++q)
      if (const float amount = product::Need(world, q, product); amount > 0.0f) AddNeedRow(list, q, amount);
  ListLayoutRows(list);
}

void DescribeProductConsumers(const World& world, ListBoxControl* list, int32_t product) {
  if (!list) return;
  ListClear(list, 1);
  if (product >= 0 && product < kProductCount)
    for (int32_t r = kFirstRefined; r < kProductCount; ++r)
      if (const float amount = product::Need(world, product, r); amount > 0.0f) AddNeedRow(list, r, amount);
  ListLayoutRows(list);
}

bool UpdateProductionSliders(const World& world, Control* form, int32_t product) {
  const int32_t local = world.gameState.localPlayer;
  if (product < 0 || product >= kProductCount || local < 0 || local >= kMaxPlayers) return false;
  const PlayerRecord& r = world.players[local];
  const float supply = product::Get(r, product, product::kProduction);
  const float demand = product::Get(r, product, product::kDemand);
  const float stock = product::Get(r, product, product::kStock);
  const float top = std::max({supply, demand, stock, 1.0f});
  const std::pair<const char*, float> bars[] = {{"PRODSLDR", supply}, {"DEMANDSLDR", demand}, {"STOCKSLDR", stock}};
  for (const auto& [tag, value] : bars) {
    Control* c = Tag(form, tag);
    if (!c || c->kind != kKindSlideBar) continue;
    auto* bar = static_cast<SlideBarControl*>(c);
    SliderSetMaxFloat(bar, top);
    SliderSetValueFloat(bar, value);
  }
  return demand / kDaysInYear >= supply / kDaysInYear + stock + 1.0f;
}

SavedListView SaveListView(const ListBoxControl* list) {
  if (!list) return {};
  return {list->selectedId, list->scrollOffset, ScrollerPosition(list->scroller)};
}

void RestoreListView(ListBoxControl* list, const SavedListView& view) {
  if (!list) return;
  ListLayoutRows(list);
  ListSetSelection(0, list, view.selectedId, 0);
  list->scrollOffset = view.scrollOffset;
  ScrollerSetPosition(list->scroller, view.scrollerPosition);
}

void ResetListView(ListBoxControl* list) {
  if (!list) return;
  ListSetSelection(0, list, 0, 0);
  ListResetScroll(list);
  list->scrollOffset = 0;
}

void OpenFacilityRowPopup(ScreenSet& screens, int32_t unitId) {
  const HexCell* cell = nullptr;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& w = g_world;
    const UnitRecord* u = unitId ? FindUnitById(w, static_cast<uint32_t>(unitId)) : nullptr;
    if (!u || w.mapWidth <= 0 || u->y < 0 || u->y >= w.mapHeight) return;
    const int32_t column = ((u->x % w.mapWidth) + w.mapWidth) % w.mapWidth;
    const size_t at = static_cast<size_t>(u->y) * static_cast<size_t>(w.mapWidth) + static_cast<size_t>(column);
    if (at < w.cells.size()) cell = &w.cells[at];
  }
  if (cell) OpenObjectPopup(screens, cell, 0);
}

void AddFacilityRows(ListBoxControl* list, ListHolder& facilities, Screen& rowTemplate) {
  if (!list) return;
  for (ListItem28* item = FirstInHolder(facilities); item; item = NextInHolder(facilities, item))
    ListAddIconItem(list, &rowTemplate, 0, 0, static_cast<int32_t>(item->callerWord), 0, 0, 0);
}
