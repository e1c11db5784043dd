#include "screens/common/units/build_lists.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "records/unit_flags.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/units/build_item_row.h"
#include "screens/screen_set.h"
#include "sim/facility_command_args.h"
#include "sim/game_command.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "sim/policy_block_fields.h"
#include "sim/simulation_lock.h"
#include "sim/unit_command_args.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/scroller.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "units/unit_queries.h"
#include "world/data_tables.h"
#include "world/id_lookups.h"
#include "world/record_helpers.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"
#include "world/local_player.h"

BuildListFilters g_buildListFilters;

ScreenParameterList& BuildListClasses() {
  static ScreenParameterList classes;
  return classes;
}

void ShowAsMarkerBox(Control* c) {
  constexpr uint32_t kAlphaMask = 0xFF000000u, kMarkAlpha = 0x8C000000u, kMarkColour = 0xFF007D00u;
  if (!c) return;
  c->fills[0] = (c->fills[0] & ~kAlphaMask) | kMarkAlpha;
  c->fills[2] = c->fills[0];
  c->flags |= kCtlShowFocus;
  if (IsStringKind(c)) static_cast<StringControl*>(c)->textColour = kMarkColour;
}

namespace {

// A facility whose order word 15 has this bit builds nothing for now.
constexpr uint32_t kFacilityIdle = 1;
// Ids of the filter buttons: 100 + military class; 10 shows every class.
constexpr int32_t kAllClassesButton = 10;
constexpr int32_t kFilterButtons = 100;
constexpr int32_t kLastFilterButton = 125;
// A research list without a sort column orders by this statistic.
constexpr int32_t kResearchStatistic = 90;
constexpr int32_t kNoLevelLimit = 256;
// Ids of the lists' column headers: the id less 33 is the statistic its
// column shows, which a click orders the list by.
constexpr int32_t kFirstSortHeader = 34, kLastSortHeader = 99;

// The column a filter's list is ordered by: a class's own, the list of all
// classes' (filter -1), or none for the stock list.
int32_t* SortColumnOf(BuildListFilters& f, int32_t filter) {
  if (filter >= 0 && filter < kMilitaryClasses) return &f.sortColumn[filter];
  return filter == -1 ? &f.allSortColumn : nullptr;
}

// What a picture row leaves free at the list's right for its scroll bar.
constexpr int32_t kScrollBarRoom = 16;

int32_t Category(int32_t category) { return category >= 0 && category < 3 ? category : -1; }

// The packed hex of a cell of the map, 0 for none.
bool CellHex(const HexCell* cell, uint32_t& packed, int32_t& index) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const std::vector<HexCell>& cells = g_world.cells;
  if (!cell || cells.empty() || cell < cells.data() || cell >= cells.data() + cells.size() || g_world.mapWidth <= 0)
    return false;
  index = static_cast<int32_t>(cell - cells.data());
  packed = PackHex(index % g_world.mapWidth, index / g_world.mapWidth);
  return true;
}

void RefreshScreen(Screen* s) {
  if (s && s->currentForm) s->Refresh();
}

void RefreshBoth(Control* form, Screen* refresh) {
  Screen* own = form ? form->owner : nullptr;
  RefreshScreen(own);
  if (refresh != own) RefreshScreen(refresh);
}

float SliderStrength(Control* slider) {
  auto* bar = dynamic_cast<SlideBarControl*>(slider);
  return bar ? SliderGetValueFloat(bar) + 0.5f : 1.0f;
}

const UnitClassRecord* ClassOf(intptr_t value) {
  plat::CriticalSectionLock lock(g_simulationLock);
  return value > 0 ? ClassRecordAt(g_world, static_cast<int32_t>(value)) : nullptr;
}

int32_t ClassIndexOf(const UnitClassRecord* cls) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const std::vector<UnitClassRecord>& classes = g_world.unitClasses;
  if (!cls || cls < classes.data() || cls >= classes.data() + classes.size()) return 0;
  return static_cast<int32_t>(cls - classes.data());
}

void ShowQuantity(Control* form, int32_t quantity) { SetInt(Tag(form, "QTY"), quantity); }

void Build(Control* form, BuildListState& s, const HexCell* site, Screen* refresh, Screen* options) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitClassRecord* cls = s.selected;
  const int32_t classIndex = ClassIndexOf(cls);
  const int32_t local = LocalPlayerIndex(g_world);
  if (!cls || classIndex == 0 || s.quantity <= 0 || local < 0) return;
  const uint32_t bits = BuildOptionBits(options && options->currentForm ? options->currentForm : form, *cls);
  const int32_t quantity = std::clamp(s.quantity, kLeastBuildQuantity, kMostBuildQuantity);
  if (cls->flags & kClassStock) {
    PostArgs(kCmdCreateUnitAt,
             OrderedUnitArgs{.classIndex = static_cast<uint32_t>(classIndex), .size = quantity, .flags = bits});
  } else {
    uint32_t packed = 0;
    int32_t index = 0;
    // A unit with no site would be made at the map's corner.
    if (!CellHex(site, packed, index)) return;
    for (int32_t i = 0; i < quantity; ++i)
      PostArgs(kCmdCreateUnit, NewUnitArgs{.position = packed,
                                           .classIndex = static_cast<uint32_t>(classIndex),
                                           .size = s.strength,
                                           .flags = bits});
  }
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    AddLocalNewsItem(g_world, g_world.players[local], kMsgUnitBuildOrdered, 0,
                     MessageParams{static_cast<uint32_t>(classIndex), cls->typeByte});
  }
  RefreshBoth(form, refresh);
  if (refresh && refresh == &g_screens.basePopup) {
    if (auto* queue = dynamic_cast<ListBoxControl*>(Tag(refresh->currentForm, "QUELIST")))
      ScrollerSetPosition(queue->scroller, 10000);
  }
}

void SetFilter(Control* form, BuildListState& s, int32_t filter, Screen* refresh) {
  const int32_t category = Category(s.category);
  if (category >= 0) g_buildListFilters.categoryFilter[category] = filter;
  s.strength = 1.0f;
  if (auto* list = dynamic_cast<ListBoxControl*>(Tag(form, "LIST5"))) {
    ListClear(list, 1);
    ListResetScroll(list);
  }
  RefreshBoth(form, refresh);
}

void ShowFilterButtons(Control* form, int32_t category) {
  for (int32_t id = kFilterButtons; id <= kLastFilterButton; ++id) {
    bool shown = false;
    if (category == 0) shown = id <= 106;
    if (category == 1) shown = id >= 107 && id <= 114 && id != 108;
    if (category == 2) shown = id >= 115 && id <= 121 && id != 120;
    SetHidden(Id(form, id), !shown);
  }
}

}  // namespace

uint32_t BuildOptionBits(Control* optionsForm, const UnitClassRecord& cls) {
  uint32_t bits = 0;
  if (Control* c = Tag(optionsForm, "AUTOBUT"); c && c->Selected()) bits |= kBuildAutoDeploy;
  if (Control* c = Tag(optionsForm, "CONTBUT"); c && c->Selected()) bits |= kBuildContinuous;
  Control* auth = Tag(optionsForm, "AUTHBOX");
  if (auth ? auth->Selected() : (cls.flags & kClassBatchStock) != 0) bits |= kBuildAuthorised;
  return bits;
}

int32_t BaseFacilityCategory(const UnitClassRecord* cls) {
  if (!cls || cls->baseKind != 0) return -1;
  if (cls->flags & kClassHaven) return 2;
  if (cls->flags & kClassAirBase) return 1;
  if ((cls->flags & kClassSettlement) && cls->baseSlots > 0) return 0;
  return -1;
}

std::vector<int32_t> CollectBuildableClasses(ListBoxControl* list, int32_t category, int32_t levelLimit,
                                             int32_t player, int32_t filter, int32_t statistic,
                                             int32_t nonResearch, int32_t filtered, int32_t stockMode) {
  plat::CriticalSectionLock lock(g_simulationLock);
  struct Kept {
    int32_t index;
    float value;
  };
  std::vector<Kept> kept;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& w = g_world;
    const ClassListFilters filters{.showHidden = false};
    for (size_t i = 1; i < w.unitClasses.size(); ++i) {
      const UnitClassRecord& c = w.unitClasses[i];
      if (c.name[0] == 0 || (c.flags & kClassFacility)) continue;
      if (filter >= 0 ? c.typeByte != filter : (c.flags & kClassStock) != 0) continue;
      const auto index = static_cast<int32_t>(i);
      if (!UnitClassAvailable(w, index, Category(category), levelLimit, player, true, nonResearch ? 1 : 0,
                              filtered ? &filters : nullptr, stockMode == 1 ? 1 : 0, 0, 0))
        continue;
      kept.push_back({index, UnitClassStat(w, index, statistic)});
    }
  }
  std::stable_sort(kept.begin(), kept.end(), [](const Kept& a, const Kept& b) { return a.value > b.value; });
  std::vector<int32_t> out;
  out.reserve(kept.size());
  if (list) ListClear(list, 1);
  // With the pictured-list option each class shows its picture row, as
  // wide as the list beside its scroll bar.
  const bool pictured = g_uiOptions.bshowequipulistob != 0;
  const int32_t rowWidth = list ? std::max(Width(list) - kScrollBarRoom, 0) : 0;
  if (pictured) ListUseFormRows(list);
  for (const Kept& k : kept) {
    out.push_back(k.index);
    if (!list) continue;
    if (pictured)
      ListAddIconItem(list, &g_screens.militaryUnit, rowWidth, 0, k.index, 0, 0, 0);
    else
      ListAddTextItem(list, g_world.unitClasses[static_cast<size_t>(k.index)].name, k.index, k.index, 0, 0, 0);
  }
  return out;
}

void OpenBuildList(Control* form, BuildListState& s, int32_t stockMode, const HexCell* base) {
  if (!form) return;
  SetHidden(Tag(form, "BUILD"), true);
  SetHidden(Tag(form, "CONTBUT"), false);
  if (stockMode == 0) {
    SetHidden(Tag(form, "ASSIGN"), true);
    SetHidden(Tag(form, "LEADER"), true);
    if (auto* bar = dynamic_cast<SlideBarControl*>(Tag(form, "STRSLDR"))) {
      SliderSetMaxFloat(bar, 1.0f);
      bar->notches = 0;
      SliderSetValueFloat(bar, s.strength - 0.5f);
    }
    SetPercent(Tag(form, "STR"), "%3.0f %%", s.strength);
  } else {
    SetHidden(Id(form, 666), true);
    SetHidden(Id(form, 667), true);
  }
  if (Tag(form, "QTY")) {
    if (g_uiOptions.buiresetubuilddef) s.quantity = 1;
    ShowQuantity(form, s.quantity);
  }
  uint32_t packed = 0;
  int32_t index = 0;
  if (!CellHex(base, packed, index)) return;
  bool usable = false, delivery = false;
  int32_t category = -1;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* lead = GetActiveObject(base, false);
    const UnitClassRecord* cls = lead ? ClassRecordAt(g_world, lead->classIndex) : nullptr;
    usable = cls && !(lead->unitFlags & kUnitGone) && !(lead->ordersShown[15] & kFacilityIdle);
    if (cls) category = BaseFacilityCategory(cls);
    const int32_t local = LocalPlayerIndex(g_world);
    if (category >= 0 && local >= 0)
      delivery = static_cast<uint32_t>(BuildListValue(g_world.players[local].displayPolicy, category)) == packed;
  }
  Control* flag = Tag(form, "GRIDWMFLAG");
  Control* inactive = Tag(form, "GRIDWMACT");
  ShowAsMarkerBox(flag);
  ShowAsMarkerBox(inactive);
  SetHidden(flag, !delivery);
  SetHidden(inactive, usable && category >= 0);
}

void ShowBuildOptions(Control* form) {
  SetControlFlag(Tag(form, "AUTOBUT"), kStateSelected, g_uiOptions.bautodeployset ? 1 : 0);
  SetControlFlag(Tag(form, "CONTBUT"), kStateSelected, g_uiOptions.bcontinuousset ? 1 : 0);
}

void BindDockedBuildList(Screen& panel, BuildListState& state, ListBoxControl*& list, Control*& statParent) {
  DockInSecondBotbar2(panel);
  list = MakeListBox("LIST5", 0, panel.currentForm, kListIndicators, &panel);
  statParent = Tag(panel.currentForm, "STATPARENT");
  state.quantity = 1;
  state.strength = 1.0f;
}

void OpenDockedBuildList(Control* form, BuildListState& state, int32_t stockMode, const HexCell* base) {
  state.selected = nullptr;
  ShowBuildOptions(form);
  OpenBuildList(form, state, stockMode, base);
}

void FillBuildList(Control* form, BuildListState& s, int32_t research, int32_t stockMode) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!form) return;
  BuildListFilters& f = g_buildListFilters;
  const int32_t category = Category(s.category);
  int32_t cargoMode = 0;
  if (stockMode != 0) {
    f.current = kStockMilitaryClass;
    cargoMode = stockMode == 1 ? 1 : 0;
  } else {
    f.current = category < 0 ? -1 : f.categoryFilter[category];
  }
  const int32_t filter = f.current;
  int32_t statistic = 0;
  if (const int32_t* column = SortColumnOf(f, filter)) statistic = std::max(*column % 100 - 33, 0);
  if (research && statistic == 0) statistic = kResearchStatistic;
  int32_t levelLimit = kNoLevelLimit;
  const int32_t local = LocalPlayerIndex(g_world);
  if (research && local >= 0) {
    plat::CriticalSectionLock lock(g_simulationLock);
    levelLimit = static_cast<int32_t>(g_world.players[local].techLevel);
  }
  SetHidden(Tag(form, "STATPARENT"), true);
  auto* list = dynamic_cast<ListBoxControl*>(Tag(form, "LIST5"));
  s.selected = nullptr;
  if (list) {
    const int32_t scroll = list->scrollOffset;
    ListPrepareRows(list);
    const std::vector<int32_t> classes = CollectBuildableClasses(list, category, levelLimit, local, filter, statistic,
                                                                 research ? 0 : 1, f.filtered ? 1 : 0, cargoMode);
    // The class pop-up pages through the classes the list shows.
    BuildListClasses().entries.assign(classes.begin(), classes.end());
    if (list->savedSelection) ListApplyToItems(list, *list->savedSelection);
    list->scrollOffset = scroll;
    // An empty research list says why, so it does not read as a list that
    // failed to fill.
    if (classes.empty() && research) ListAddTextItem(list, "No designs to research", 0, 0, 0, 0, 0);
    ListLayoutRows(list);
    for (Control* row = list->firstRow; row; row = ListNextRow(list, row))
      if (row->Selected()) s.selected = ClassOf(ListRowValue(row));
  }
  if (s.selected) {
    DrawBuildItemRow(form, research, *s.selected, &s.strength, stockMode != 0 ? 1 : 0);
  } else {
    SetHidden(Tag(form, "HIDEBOXA"), true);
    SetHidden(Tag(form, "HIDEBOXB"), true);
    if (stockMode == 0) {
      Control* kind = Tag(form, "CLASS");
      SetControlText(kind, filter >= 0 ? TextListText(kListMilclassshort, filter) : "");
      SetControlFlag(kind, kStateSelected, filter >= 0 ? 0 : 1);
    } else {
      for (int32_t id : {665, 666, 667}) SetHidden(Id(form, id), true);
    }
  }
  if (stockMode == 0) ShowFilterButtons(form, category);
  // Only the list's own filter and column stay marked: the one pressed
  // before would otherwise still look pressed.
  for (int32_t button = kFilterButtons; button <= kLastFilterButton; ++button)
    SetControlFlag(Id(form, button), kStateSelected, 0);
  for (int32_t header = kFirstSortHeader; header <= kLastSortHeader; ++header)
    SetControlFlag(Id(form, header), kStateSelected, 0);
  SetControlFlag(Id(form, kAllClassesButton), kStateSelected, 0);
  if (stockMode == 0 || filter >= 0)
    SetControlFlag(Id(form, filter >= 0 ? kFilterButtons + filter : kAllClassesButton), kStateSelected, 1);
  if (const int32_t* column = SortColumnOf(f, filter); column && *column > 0)
    SetControlFlag(Id(form, *column), kStateSelected, 1);
}

void OnBuildListCommand(Control* form, BuildListState& s, const HexCell* site, Control* control, int32_t value,
                        Screen* refresh, Screen* options) {
  if (!control) return;
  if (Is(control, "MINUSBUT") || Is(control, "PLUSBUT")) {
    const int32_t step = Is(control, "PLUSBUT") ? 1 : -1;
    s.quantity = std::clamp(s.quantity + step, kLeastBuildQuantity, kMostBuildQuantity);
    ShowQuantity(form, s.quantity);
  } else if (Is(control, "ASSIGN") || Is(control, "LEADER")) {
  } else if (Is(control, "BUILD")) {
    Build(form, s, site, refresh, options);
  } else if (Is(control, "WMDFILTER")) {
    g_buildListFilters.weaponsFilter = control->Selected();
    RefreshBoth(form, refresh);
  } else if (Is(control, "LIST5")) {
    const UnitClassRecord* cls = ClassOf(value);
    if (options && cls && (cls->flags & kClassStock))
      SetControlFlag(Tag(options->currentForm, "AUTHBOX"), kStateSelected, (cls->flags & kClassBatchStock) ? 1 : 0);
  } else if (Is(control, "WMDELSET")) {
    const int32_t category = Category(s.category);
    uint32_t packed = 0;
    int32_t index = 0;
    if (category >= 0 && CellHex(site, packed, index)) {
      PostArgs(kCmdBuildListValue, HexValueArgs{.hex = packed, .value = static_cast<uint32_t>(category)});
    }
    Control* shown = refresh ? refresh->currentForm : form;
    SetHidden(Tag(shown, "WMDELIV"), false);
    SetHidden(Tag(shown, "GRIDWMFLAG"), false);
  } else if (Is(control, "CENTRE")) {
    uint32_t packed = 0;
    int32_t index = 0;
    if (CellHex(site, packed, index)) {
      GotoHexPacked(packed);
      if (g_ui.mapView) CentreMapOnHex(*g_ui.mapView, packed);
    }
  } else if (value >= kFirstSortHeader && value <= kLastSortHeader) {
    // A second click on the column the list is ordered by puts it back in
    // its usual order. The order is the filter's, or the list of all
    // classes' own.
    const int32_t filter = Category(s.category) >= 0 ? g_buildListFilters.categoryFilter[s.category] : -1;
    if (int32_t* sorted = SortColumnOf(g_buildListFilters, filter)) {
      int32_t& column = *sorted;
      column = column == value ? 0 : value;
      if (auto* list = dynamic_cast<ListBoxControl*>(Tag(form, "LIST5"))) ListResetScroll(list);
      RefreshBoth(form, refresh);
    }
  } else if (value == kAllClassesButton) {
    SetFilter(form, s, -1, refresh);
  } else if (value >= kFilterButtons && value <= kLastFilterButton) {
    SetFilter(form, s, value - kFilterButtons, refresh);
  } else if ((value >= 200 && value <= 205) || (value >= 1665 && value <= 1667)) {
    RefreshBoth(form, refresh);
  }
}

void OnBuildListChange(Control* control, Control* form, BuildListState& s, intptr_t value,
                       const BuildListChange& how) {
  if (!control) return;
  if (Is(control, "LIST5")) {
    const UnitClassRecord* cls = ClassOf(value);
    for (const char* tag : {"RBEGIN", "INSPECT", "HIDEBOXA", "HIDEBOXB"}) SetHidden(Tag(form, tag), cls == nullptr);
    for (const char* tag : {"GRIDBAN", "BUILDGRID1", "BUILDGRID2", "BUILDGRID3", "BUILDGRID4"}) {
      ShowAsMarkerBox(Tag(form, tag));
      SetHidden(Tag(form, tag), true);
    }
    SetHidden(Tag(form, "BUILD"), true);
    if (!cls) return;
    if (how.details && how.detailsParent) {
      SetHidden(how.detailsParent, false);
      SetHidden(how.extra, false);
    }
    if (how.popup) {
      SetHidden(Tag(how.popup->currentForm, "HIDEBOX1"), false);
      SetHidden(Tag(how.popup->currentForm, "HIDEAUTH"), false);
    }
    if (!how.noBuild) SetHidden(Tag(form, "BUILD"), false);
    s.selected = cls;
    DrawBuildItemRow(form, 0, *cls, &s.strength, how.listMode, {how.details, how.detailsParent});
    const int32_t category = Category(s.category);
    if (how.listMode == 0 && category >= 0)
      g_buildListFilters.rememberedClass[category] = static_cast<int32_t>(value);
  } else if (Is(control, "STRSLDR")) {
    s.strength = SliderStrength(control);
    if (s.selected) {
      DrawBuildItemRow(form, 0, *s.selected, &s.strength, how.listMode);
    } else {
      SetPercent(Tag(form, "STR"), "%3.0f %%", s.strength);
    }
  } else if (Is(control, "QTY")) {
    // A typed quantity keeps to what one order may hold.
    s.quantity = std::clamp(std::atoi(control->text.c_str()), kLeastBuildQuantity, kMostBuildQuantity);
    ShowQuantity(form, s.quantity);
  }
}

namespace {

constexpr const char* kBaseBuildListTags[] = {"LIST5", "QTY", "MINUSBUT", "PLUSBUT", "STRSLDR", "STR",
                                              "BUILD", "PRICEBUILD", "DAYS", "CLASS"};

// The base the pop-up shows (its id is the base's unit), else the map's
// selected hex.
const HexCell* BaseCell(const Screen* popup) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  if (popup && popup->id > 0) {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* base = FindUnitById(w, static_cast<uint32_t>(popup->id));
    if (base && base->x >= 0 && base->y >= 0 && base->x < w.mapWidth && base->y < w.mapHeight) {
      const size_t at = static_cast<size_t>(base->y) * static_cast<size_t>(w.mapWidth) + static_cast<size_t>(base->x);
      if (at < w.cells.size()) return &g_world.cells[at];
    }
  }
  const HexPosition& hex = g_world.gameState.currentHex;
  if ((hex.x == 0 && hex.y == 0) || hex.cellIndex >= g_world.cells.size()) return nullptr;
  return &g_world.cells[hex.cellIndex];
}

}  // namespace

BaseBuildListPanel::BaseBuildListPanel() : Screen("POPUP_BASE1f", FormLookups{.tags = kBaseBuildListTags, .ids = {}}) {}

void BaseBuildListPanel::BindControls() {
  list = MakeListBox("LIST5", 0, currentForm, kListIndicators, this);
  state.quantity = 1;
  state.strength = 1.0f;
}

void BaseBuildListPanel::OnOpen() {
  state.selected = nullptr;
  state.strength = 1.0f;
  const HexCell* cell = BaseCell(host ? host : &g_screens.basePopup);
  OpenBuildList(currentForm, state, 0, cell);
  int32_t category = -1;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* lead = GetActiveObject(cell, false);
    category = BaseFacilityCategory(lead ? ClassRecordAt(g_world, lead->classIndex) : nullptr);
  }
  state.category = category < 0 ? 0 : category;
}

void BaseBuildListPanel::Refresh() { FillBuildList(currentForm, state, 0, 0); }

void BaseBuildListPanel::OnCommand(Control* control, int32_t controlId) {
  const int32_t value =
      control && control == list ? static_cast<int32_t>(list->selectedValue) : (control ? control->id : controlId);
  Screen* popup = host ? host : &g_screens.basePopup;
  OnBuildListCommand(currentForm, state, BaseCell(popup), control, value, popup, popup);
}

void BaseBuildListPanel::OnControlChange(Control* control, int32_t) {
  Screen* popup = host ? host : &g_screens.basePopup;
  Control* popupForm = popup->currentForm;
  const intptr_t value = control && control == list ? list->selectedValue : 0;
  if (value != 0) {
    for (const char* tag : {"PRODLIST", "QUELIST", "STOREDLIST"})
      if (auto* other = dynamic_cast<ListBoxControl*>(Tag(popupForm, tag))) ListDeselectAll(other);
    ShowBuildOptions(popupForm);
  }
  OnBuildListChange(control, currentForm, state, value,
                    BuildListChange{.details = nullptr, .detailsParent = Tag(popupForm, "STATPARENT"), .popup = popup});
}
