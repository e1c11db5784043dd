#include "screens/editor/editor_class_list_panels.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "app/game_math.h"
#include "editor/editor_class_lists.h"
#include "editor/editor_screens.h"
#include "platform/threads.h"
#include "screens/common/units/unit_class_query.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

// The unit tool's mode, whose panel holds the filter check boxes.
constexpr int kUnitToolMode = 8;
// Sort keys of the lists: the class's tech level, and its full strength.
constexpr int32_t kTechLevelStatistic = 90;
constexpr int32_t kFullStrengthStatistic = 0;
// Availability modes: only designs the region has, or any class.
constexpr int32_t kAvailableDesigns = 1;
constexpr int32_t kAnyDesignState = 2;
constexpr int32_t kNoLevelCap = 256;
// Ids the pages leave alone.
constexpr int32_t kUntouchedButtons[] = {108, 120, 122};

bool Checked(Control* form, const char* tag) {
  const Control* c = Tag(form, tag);
  return c && c->Selected();
}

bool TypeButtonShown(int32_t page, int32_t id) {
  switch (page) {
    case 0: return id <= 106;
    case 1: return id == 107 || (id >= 109 && id <= 114) || id == 123;
    default: return (id >= 115 && id <= 119) || id == 121;
  }
}

void ClassChosen(int32_t classIndex) {
  SetEditorUnitClass(classIndex);
  if (g_editorUnitClass.chosen) g_editorUnitClass.chosen();
}

// A refill may leave another class current: the tool panel then shows it,
// and only then, since showing a class resets the sliders.
void ShowListClass(int32_t classIndex) {
  if (classIndex != EditorUnitClass()) ClassChosen(classIndex);
}

}  // namespace

ClassListFilterState ReadClassListFilters() {
  plat::CriticalSectionLock lock(g_simulationLock);
  ClassListFilterState f;
  Screen* tool = g_editorScreens.modePanels[kUnitToolMode];
  Control* form = tool ? tool->currentForm : nullptr;
  const World& w = g_world;
  const int32_t local = w.gameState.localPlayer;
  const bool valid = local >= 0 && local < kMaxPlayers;
  f.levelCap = Checked(form, "FILTERL") && valid ? CheckedTrunc(w.players[local].techLevel) : kNoLevelCap;
  f.region = Checked(form, "FILTERR") && valid ? local : -1;
  f.designState = Checked(form, "FILTERRES") ? kAvailableDesigns : kAnyDesignState;
  // Without a region there is nothing a successor could be available to.
  f.checkSuccessor = !Checked(form, "REPLACED") && f.region >= 0;
  return f;
}

namespace {

// The classes the query asks for, under the unit tool's filters (region,
// level cap, design state, successors).
std::vector<int32_t> FilteredClasses(UnitClassQuery query) {
  const ClassListFilterState f = ReadClassListFilters();
  query.levelCap = f.levelCap;
  query.designState = f.designState;
  query.checkSuccessor = f.checkSuccessor;
  std::vector<int32_t> classes;
  plat::CriticalSectionLock lock(g_simulationLock);
  CollectUnitClasses(g_world, f.region, 0, 0, classes, query);
  return classes;
}

}  // namespace

int32_t FillClassList(ListBoxControl* list, const std::vector<int32_t>& classes, int32_t preferred) {
  if (!list) return 0;
  const int32_t keptId = list->selectedId;
  const int32_t keptScroll = list->scrollOffset;
  ListClear(list, 1);
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    for (int32_t c : classes) {
      const char* name = g_world.unitClasses[static_cast<size_t>(c)].name;
      const std::string text(name, strnlen(name, sizeof g_world.unitClasses[0].name));
      ListAddTextItem(list, text.c_str(), c, c, 0, 0, 0);
    }
  }
  list->scrollOffset = keptScroll;
  ListLayoutRows(list);
  const auto listed = [&](int32_t c) {
    return c != 0 && std::find(classes.begin(), classes.end(), c) != classes.end();
  };
  if (listed(keptId)) ListSetSelection(0, list, keptId, 0);
  if (listed(preferred)) ListSetSelection(0, list, preferred, 0);
  if (!ListNextSelected(list, nullptr) && list->firstRow) ListSelectItem(0, list, list->firstRow, 0);
  const Control* selected = ListNextSelected(list, nullptr);
  return selected ? selected->id : 0;
}

int32_t EditorEquipmentListPanel::Page() const { return static_cast<int32_t>(std::clamp<intptr_t>(id, 0, 2)); }

void EditorEquipmentListPanel::BindControls() {
  list = MakeListBox("LIST5", 0, currentForm, kListSingleSelect, this);
  std::fill(std::begin(typeFilter), std::end(typeFilter), -1);
  std::fill(std::begin(rememberedClass), std::end(rememberedClass), 0);
}

void EditorEquipmentListPanel::Refresh() {
  const int32_t page = Page();
  currentFilter = typeFilter[page];
  const std::vector<int32_t> classes =
      FilteredClasses({.category = page, .typeFilter = currentFilter, .statistic = kTechLevelStatistic});
  ShowListClass(FillClassList(list, classes, rememberedClass[page]));
  for (int32_t button = kTypeFilterFirst; button <= kTypeButtonsEnd; ++button) {
    if (std::find(std::begin(kUntouchedButtons), std::end(kUntouchedButtons), button) != std::end(kUntouchedButtons))
      continue;
    Control* c = Id(currentForm, button);
    if (!c) continue;
    if (const char* name = TextListEntry(g_textLists, kListMilclass, button - kTypeFilterFirst)) c->SetText(name);
    SetHidden(c, !TypeButtonShown(page, button));
    SetControlFlag(c, kStateSelected, currentFilter >= 0 && button == currentFilter + kTypeFilterFirst);
  }
}

void EditorEquipmentListPanel::OnCommand(Control* control, int32_t commandId) {
  if (!control || control == list || commandId < kTypeFilterFirst || commandId > kTypeFilterLast) return;
  typeFilter[Page()] = commandId - kTypeFilterFirst;
  ListDeselectAll(list);
  ListResetScroll(list);
  Refresh();
}

void EditorEquipmentListPanel::OnControlChange(Control* control, int32_t row) {
  if (!control || control != list || row == 0 || row == EditorUnitClass()) return;
  rememberedClass[Page()] = row;
  ClassChosen(row);
}

void EditorEquipmentListPanel::OnActivate(Control* control, int32_t row) {
  if (control == list && row != 0 && list->selectedId != 0) g_screens.unitBuild.Popup(list->selectedId, nullptr);
}

void EditorStockClassListPanel::BindControls() {
  list = MakeListBox("LIST5", 0, currentForm, kListSingleSelect, this);
}

void EditorStockClassListPanel::Refresh() {
  const bool onePlatform = id != 1;
  SetHidden(Tag(currentForm, "PLATFORM"), !onePlatform);
  platformCategory = onePlatform ? 0 : -1;
  for (int32_t button = kPlatformButtonFirst; onePlatform && button <= kPlatformButtonLast; ++button) {
    const Control* c = Id(currentForm, button);
    if (c && c->Selected()) {
      platformCategory = 1 + button - kPlatformButtonFirst;
      break;
    }
  }
  weaponsShown = Checked(currentForm, "WMDFILTER");
  const std::vector<int32_t> classes = FilteredClasses({.category = platformCategory,
                                                       .typeFilter = kStockClassType,
                                                       .statistic = kFullStrengthStatistic,
                                                       .cargoKind = weaponsShown ? 0 : 1});
  ShowListClass(FillClassList(list, classes, 0));
}

void EditorStockClassListPanel::OnCommand(Control* control, int32_t) {
  if (control && control != list) Refresh();
}

void EditorStockClassListPanel::OnControlChange(Control* control, int32_t row) {
  if (!control || control != list || row == 0 || row == EditorUnitClass()) return;
  ClassChosen(row);
  if (stockUnits && stockUnits->currentForm) stockUnits->Refresh();
}

void EditorStockClassListPanel::OnActivate(Control* control, int32_t row) {
  if (control == list && row != 0 && list->selectedId != 0) g_screens.missileDesignView.Popup(list->selectedId, nullptr);
}
