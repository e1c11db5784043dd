#include "screens/military/production/unit_build_popup.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/duration_text.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/frame/map_selection.h"
#include "screens/common/units/class_icon.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/common/research_queue.h"
#include "screens/common/units/unit_lists.h"
#include "screens/common/units/build_item_row.h"
#include "screens/common/units/unit_header.h"
#include "screens/screen_set.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "sim/research_path.h"
#include "sim/sim_ui_link.h"
#include "sim/simulation_lock.h"
#include "ui/bitmap_control.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/list_refill.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "units/unit_queries.h"
#include "world/data_tables.h"
#include "world/id_lookups.h"
#include "world/list_holder.h"
#include "world/list_items.h"
#include "world/record_helpers.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"
#include "world/local_player.h"

namespace {

constexpr uint32_t kMarkAlpha = 0x8C000000u;
constexpr uint32_t kMarkColour = 0xFF007D00u;
// Research slower than this a day gives no useful estimate.
constexpr float kLeastResearchRate = 0.01f;
constexpr int32_t kProductionFacility = 4;

constexpr const char* kPopupTags[] = {"SUBPARENT2", "SUBPARENT3", "SUBPARENT4", "SUBPARENT4B",
                                      "SUBPARENT5", "PAR3C",      "UNITPIC",    "NEXTBUT",
                                      "PREVBUT",    "CLOSEBUT"};
constexpr const char* kSiteTags[] = {"LIST5", "BASEPIC", "QTY", "BUILD", "HIDEBASE", "STATUS", "QUEUE", "CAPACITY"};
constexpr const char* kFilterTags[] = {"FILTER", "FAV"};
constexpr const char* kResearchTags[] = {"LIST1", "GRIDTECH", "COST", "RESTIME", "RUNITNAME",
                                         "HEADER1", "TECH1", "TECH2", "BEGIN"};


// A site's cell, its x wrapped into the map.
const HexCell* UnitCell(const World& w, const UnitRecord& u) {
  if (w.mapWidth <= 0 || u.y < 0 || u.y >= w.mapHeight) return nullptr;
  const int32_t x = ((u.x % w.mapWidth) + w.mapWidth) % w.mapWidth;
  const size_t at = static_cast<size_t>(u.y) * static_cast<size_t>(w.mapWidth) + static_cast<size_t>(x);
  return at < w.cells.size() ? &w.cells[at] : nullptr;
}

const UnitRecord* Lead(const HexCell* cell) {
  const HexUnitStack* stack = cell ? LoadHexStack(*cell) : nullptr;
  return stack ? stack->lead : nullptr;
}

// A hex's lead counts as a facility present: not gone and of a class.
bool Present(const UnitRecord* lead) { return lead && !(lead->unitFlags & kUnitGone) && lead->classIndex != 0; }

const HexCell* SiteCell(ListBoxControl* sites) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!sites || sites->selectedValue == 0) return nullptr;
  const UnitRecord* u = FindUnitById(g_world, static_cast<uint32_t>(sites->selectedValue));
  return u && !(u->unitFlags & kUnitGone) ? UnitCell(g_world, *u) : nullptr;
}

void Select(ListBoxControl* list, intptr_t value) {
  for (Control* row = list->firstRow; row; row = ListNextRow(list, row)) {
    if (ListRowValue(row) == value) {
      ListSelectItem(0, list, row, 0);
      return;
    }
  }
}

}  // namespace

bool DesignResearchable(const World& world, int32_t player, int32_t classIndex) {
  const UnitClassRecord* cls = ClassRecordAt(world, classIndex);
  if (!cls || cls->name[0] == 0 || (cls->flags & kClassFacility)) return false;
  if ((cls->flags & kClassObsolete) && SimUiMode() == kSimUiInGame) return false;
  if ((cls->flags >> 31) & 1u) return false;  // the class's top bit bars it from research
  const bool hasPlayer = player >= 0 && player < kMaxPlayers;
  const float level = hasPlayer ? std::trunc(world.players[player].techLevel) : 0.0f;
  if (level < static_cast<float>(cls->level)) return false;
  if (!hasPlayer) return true;
  if (!(cls->availability & world.players[player].classMask)) return false;
  if (ClassAvailabilityByte(world, player, classIndex) & (kDesignAvailable | kRowProjectOpen)) return false;
  return cls->buildThreshold == 0 || level <= static_cast<float>(cls->buildThreshold);
}

DesignPanel ChooseDesignPanel(const World& world, int32_t player, int32_t classIndex) {
  const uint8_t bits = player >= 0 && player < kMaxPlayers ? ClassAvailabilityByte(world, player, classIndex) : 0;
  if (bits & kDesignAvailable) return DesignPanel::kBuildSite;
  if (bits & kRowProjectOpen) return DesignPanel::kResearch;
  return DesignResearchable(world, player, classIndex) ? DesignPanel::kResearch : DesignPanel::kNone;
}

const ProjectEntry* FindDesignProject(const World& world, int32_t player, int32_t classIndex) {
  if (player < 0 || player >= kMaxPlayers || classIndex < 0) return nullptr;
  const ListNode& head = world.projectLists[player];
  for (const ListNode* node = head.next(); node && node != &head; node = node->next()) {
    const auto* entry = static_cast<const ProjectEntry*>(node);
    if (entry->kind == kProjectDesign && entry->index == static_cast<uint32_t>(classIndex)) return entry;
  }
  return nullptr;
}

bool DesignUnderResearch(const World& world, int32_t player, int32_t classIndex) {
  return player >= 0 && (ClassAvailabilityByte(world, player, classIndex) & kRowProjectOpen);
}

uint32_t DesignProjectId(World& world, int32_t player, int32_t classIndex) {
  WorldLockGuard hold(world, kLockProjects);
  const ProjectEntry* entry = FindDesignProject(world, player, classIndex);
  return entry ? entry->id : 0;
}

// ---- the pop-up ----

UnitBuildPopup::UnitBuildPopup() : Screen("POPUP_MILITARY2", FormLookups{.tags = kPopupTags, .ids = {}}) {}

void UnitBuildPopup::BindControls() {
  sheetHost = Tag(currentForm, "SUBPARENT2");
  statsHost = Tag(currentForm, "SUBPARENT3");
  panelHost = Tag(currentForm, "SUBPARENT4");
  filterHost = Tag(currentForm, "SUBPARENT4B");
  projectHost = Tag(currentForm, "SUBPARENT5");
  extraHost = Tag(currentForm, "PAR3C");
  BindUnitPictureAndStepping(currentForm);
}

void UnitBuildPopup::OnOpen() {
  if (parameterList) parameterList->current = id;
  SetHidden(Tag(currentForm, "NEXTBUT2"), true);
  SetHidden(Tag(currentForm, "PREVBUT2"), true);
  classIndex = static_cast<int32_t>(id);
  g_screens.unitClassSheet.Show(classIndex, sheetHost);
  g_screens.unitClassStats.classIndex = classIndex;
  g_screens.unitClassStats.Show(0, statsHost);
  g_screens.unitExtraFill.Show(classIndex, extraHost);
  g_screens.unitBuildFilter.Show(classIndex, filterHost);
  shownPanel = nullptr;
}

void UnitBuildPopup::Refresh() {
  if (!currentForm) return;
  DesignPanel panel = DesignPanel::kNone;
  bool underResearch = false;
  uint32_t project = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const int32_t local = LocalPlayerIndex(g_world);
    panel = ChooseDesignPanel(g_world, local, classIndex);
    underResearch = DesignUnderResearch(g_world, local, classIndex);
    if (panel == DesignPanel::kResearch && underResearch) project = DesignProjectId(g_world, local, classIndex);
  }
  SetHidden(panelHost, panel == DesignPanel::kNone);
  Screen* shown = nullptr;
  if (panel == DesignPanel::kBuildSite) {
    SetHidden(filterHost, false);
    SetHidden(projectHost, true);
    shown = &g_screens.unitBuildSite;
  } else if (panel == DesignPanel::kResearch) {
    SetHidden(filterHost, true);
    SetHidden(projectHost, !underResearch);
    if (project != 0) g_screens.techProgress->Show(static_cast<intptr_t>(project), projectHost);
    shown = &g_screens.unitResearch[0];
  }
  // A panel is opened when it comes into the host; opening it again on every
  // refresh would lose its site selection and hide its BUILD each time.
  if (shown && shown != shownPanel) {
    shown->Show(shown == &g_screens.unitBuildSite ? 0 : classIndex, panelHost);
  } else if (shown) {
    shown->Refresh();
  }
  shownPanel = shown;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (const UnitClassRecord* cls = ClassRecordAt(g_world, classIndex)) FillUnitHeader(currentForm, nullptr, *cls, nullptr);
  }
  UpdateNextPrevButtons(parameterList, currentForm);
}

void UnitBuildPopup::OnCommand(Control* control, int32_t) {
  if (Is(control, "CLOSEBUT")) {
    Close(0);
  } else if (Is(control, "NEXTBUT") || Is(control, "NEXTBUT2")) {
    SelectListItem(*this, 1);
  } else if (Is(control, "PREVBUT") || Is(control, "PREVBUT2")) {
    SelectListItem(*this, -1);
  }
}

// ---- the build site panel ----

UnitBuildSitePanel::UnitBuildSitePanel() : Screen("POPUP_MILITARY2a", FormLookups{.tags = kSiteTags, .ids = {}}) {}

void UnitBuildSitePanel::BindControls() {
  sites = MakeListBox("LIST5", 0, currentForm, kListIndicators, this);
  picture = Tag(currentForm, "BASEPIC");
  state.quantity = 1;
  state.strength = 1.0f;
}

void UnitBuildSitePanel::OnOpen() {
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    state.selected = ClassRecordAt(g_world, g_screens.unitBuild.classIndex);
  }
  ShowBuildOptions(currentForm);
  OpenBuildList(currentForm, state, 0, nullptr);
}

void UnitBuildSitePanel::Refresh() {
  if (!currentForm || !state.selected) return;
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  const UnitClassRecord& cls = *state.selected;
  DrawBuildItemRow(currentForm, 0, cls, &state.strength, 0);
  if (!sites) return;
  const int32_t scroll = sites->scrollOffset;
  ListPrepareRows(sites);
  ListHolder found{};
  const int32_t domain = cls.kind == 3 ? 2 : cls.kind;
  CollectFacilitiesAvailableFirst(w, CollectFacilityArgs{.resultList = &found,
                                                         .list = sites,
                                                         .domain = domain,
                                                         .facilityKind = kProductionFacility,
                                                         .owner = LocalPlayerIndex(g_world)});
  ListHolderClear(found);
  if (sites->savedSelection) ListApplyToItems(sites, *sites->savedSelection);
  sites->scrollOffset = scroll;
  ListLayoutRows(sites);
  if (sites->selectedValue == 0) {
    const UnitRecord* lead = Lead(SelectedHexCell());
    if (Present(lead)) Select(sites, static_cast<intptr_t>(lead->id));
  }
  SetHidden(Tag(currentForm, "BUILD"), sites->selectedValue == 0);
}

void UnitBuildSitePanel::OnCommand(Control* control, int32_t controlId) {
  if (!sites || sites->selectedValue == 0 || !control) return;
  const HexCell* site = nullptr;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    site = SiteCell(sites);
  }
  const int32_t value = control == sites ? static_cast<int32_t>(sites->selectedValue) : control->id;
  (void)controlId;
  OnBuildListCommand(currentForm, state, site, control, value, &g_screens.unitBuild, this);
}

void UnitBuildSitePanel::OnControlChange(Control* control, int32_t) {
  if (!control || !currentForm) return;
  if (Is(control, "STRSLDR") || Is(control, "QTY")) {
    // The shared list clamps a typed quantity to what one order may hold.
    OnBuildListChange(control, currentForm, state, 0, BuildListChange{});
    return;
  }
  if (control != sites) return;
  const bool selected = sites->selectedValue != 0;
  SetHidden(Tag(currentForm, "HIDEBASE"), !selected);
  if (!selected) return;
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  const HexCell* cell = SiteCell(sites);
  const UnitRecord* lead = Lead(cell);
  const int32_t local = LocalPlayerIndex(g_world);
  const bool present = Present(lead);
  const bool counts =
      present && cell && (CellOwner(cell->word) == local || !(lead->unitFlags & kUnitProvisional));
  const UnitClassRecord* kind = counts ? ClassRecordAt(w, lead->classIndex) : nullptr;
  const bool offline = present && (lead->ordersShown[kPostureBits] & 1u);
  SetControlFlag(Tag(currentForm, "STATUS"), kStateSelected, present && !offline ? 1 : 0);
  SetHidden(Tag(currentForm, "OFFLINE"), !offline);
  const bool queue = counts && !(lead->unitFlags & kUnitProvisional);
  SetFormatted(Tag(currentForm, "QUEUE"), "%d", queue ? lead->leadValue : 0);
  SetFormatted(Tag(currentForm, "CAPACITY"), "%d", kind ? kind->baseSlots : 0);
  DrawUnitClassIcon(counts ? lead->classIndex : 0, nullptr, kind, picture, false, -1);
  SetHidden(Tag(currentForm, "BUILD"), false);
}

void UnitBuildSitePanel::OnActivate(Control* control, int32_t) {
  if (!control || control != sites || sites->selectedValue == 0) return;
  const UnitRecord* base = nullptr;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    base = FindUnitById(g_world, static_cast<uint32_t>(sites->selectedValue));
  }
  if (base) OpenBasePopup(g_screens, base, 0);
}

// ---- the filter panel ----

UnitBuildFilterPanel::UnitBuildFilterPanel() : Screen("POPUP_MILITARY2b", FormLookups{.tags = kFilterTags, .ids = {}}) {}

void UnitBuildFilterPanel::BindControls() {}

void UnitBuildFilterPanel::OnOpen() {
  uint8_t bits = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const int32_t local = LocalPlayerIndex(g_world);
    if (local >= 0 && id >= 0 && id < g_world.gameState.designRowBytes)
      bits = ClassAvailabilityByte(g_world, local, static_cast<int32_t>(id));
  }
  SetControlFlag(Tag(currentForm, "FILTER"), kStateSelected, (bits & kDesignFiltered) ? 1 : 0);
  SetControlFlag(Tag(currentForm, "FAV"), kStateSelected, (bits & kDesignFavourite) ? 1 : 0);
}

void UnitBuildFilterPanel::OnCommand(Control*, int32_t) {
  // The player's own marks: kept in the local copy, with no command.
  plat::CriticalSectionLock lock(g_simulationLock);
  const int32_t local = LocalPlayerIndex(g_world);
  if (local < 0 || id < 0 || id >= g_world.gameState.designRowBytes) return;
  uint8_t* row = DesignRow(g_world, local);
  if (!row) return;
  uint8_t& bits = row[id];
  bits = static_cast<uint8_t>(bits & ~(kDesignFiltered | kDesignFavourite));
  if (Pressed(Tag(currentForm, "FILTER"))) bits |= kDesignFiltered;
  if (Pressed(Tag(currentForm, "FAV"))) bits |= kDesignFavourite;
}

// ---- the research panel ----

UnitResearchPanel::UnitResearchPanel(const char* formName)
    : Screen(formName, FormLookups{.tags = kResearchTags, .ids = {}}) {}

void UnitResearchPanel::BindControls() {
  projects = MakeListBox("LIST1", 0, currentForm, kListIndicators, this);
  if (Control* grid = Tag(currentForm, "GRIDTECH")) {
    grid->fills[0] = (grid->fills[0] & 0x00FFFFFFu) | kMarkAlpha;
    grid->fills[2] = grid->fills[0];
    grid->flags |= kCtlShowFocus;
    if (IsStringKind(grid)) static_cast<StringControl*>(grid)->textColour = kMarkColour;
  }
}

namespace {

// The design's cost, time, prerequisites and the list of design projects;
// remembers the design's own project.
void FillResearchPanel(UnitResearchPanel& panel) {
  Control* currentForm = panel.currentForm;
  ListBoxControl* projects = panel.projects;
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  const int32_t classIndex = static_cast<int32_t>(panel.id);
  const UnitClassRecord* cls = ClassRecordAt(w, classIndex);
  if (!cls) return;
  const int32_t local = LocalPlayerIndex(g_world);
  SetControlNumberText(1, 0, "", 1, "", 0, static_cast<double>(DesignResearchCost(*cls)), Tag(currentForm, "COST"));
  if (Control* time = Tag(currentForm, "RESTIME")) {
    const float rate = local >= 0 ? ResearchRate(w.players[local]) : 0.0f;
    const bool unknown = !(rate >= kLeastResearchRate);
    SetControlText(time, unknown ? "UNKNOWN" : FormatDuration(DesignResearchDays(*cls, rate)).c_str());
    SetControlFlag(time, kStateSelected, unknown ? 1 : 0);
  }
  SetControlText(Tag(currentForm, "RUNITNAME"), cls->name);
  const uint8_t bits = local >= 0 ? ClassAvailabilityByte(w, local, classIndex) : 0;
  SetControlFlag(Tag(currentForm, "HEADER1"), kStateSelected, (bits & kRowProjectOpen) ? 1 : 0);
  for (int i = 0; i < 2; ++i) {
    const int16_t tech = cls->requiredTechs[i];
    const bool named = tech > 0 && tech < w.gameState.techCount && static_cast<size_t>(tech) < w.techs.size() &&
                       w.techs[static_cast<size_t>(tech)].name.get() && w.techs[static_cast<size_t>(tech)].name.c_str()[0];
    Control* c = Tag(currentForm, i == 0 ? "TECH1" : "TECH2");
    SetControlText(c, named ? w.techs[static_cast<size_t>(tech)].name.c_str() : "None");
    if (i == 1) SetHidden(c, tech == 0);
  }
  WorldLockGuard hold(w, kLockProjects);
  const ProjectEntry* own = FindDesignProject(w, local, classIndex);
  panel.projectId = own ? own->id : 0;
  if (!projects) return;
  const ListPlace place = ClearKeepingSelections(projects);
  if (local >= 0) {
    const ListNode& head = w.projectLists[local];
    for (const ListNode* node = head.next(); node && node != &head; node = node->next()) {
      const auto* entry = static_cast<const ProjectEntry*>(node);
      if (entry->kind != kProjectDesign || !(entry->displayFlags & kProjectPursued) ||
          (entry->displayFlags & kProjectClosed))
        continue;
      const UnitClassRecord* k = ClassRecordAt(w, static_cast<int32_t>(entry->index));
      ListAddTextItem(projects, k ? k->name : "", static_cast<int32_t>(entry->index),
                      static_cast<intptr_t>(entry->index), 0, 0, 0);
    }
  }
  RestoreSelections(projects, place);
}

}  // namespace

void UnitResearchPanel::Refresh() {
  if (!currentForm) return;
  FillResearchPanel(*this);
  // The queue row of the design's project: hold, resume, cancel, order.
  ResearchQueueListEvent(currentForm, projectId, static_cast<int32_t>(id), kProjectDesign);
}

void UnitResearchPanel::RefreshOwners() {
  NotifyParentScreenStates(this);
  RefreshDockedPanels(g_screens, 1);
}

void UnitResearchPanel::OnCommand(Control* control, int32_t) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!control) return;
  if (!Is(control, "BEGIN")) {
    if (projectId != 0) ResearchQueueButton(control, projectId, projects);
    RefreshOwners();
    return;
  }
  const int32_t local = LocalPlayerIndex(g_world);
  if (local < 0) return;  // no player of ours to research for
  const int32_t classIndex = static_cast<int32_t>(id);
  uint8_t group = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitClassRecord* cls = ClassRecordAt(g_world, classIndex);
    if (!cls) return;
    group = cls->typeByte;
    RequestResearchPath(g_world, local, static_cast<uint32_t>(classIndex), kProjectDesign);
  }
  RefreshOwners();
  AddLocalNewsItem(g_world, g_world.players[local], kMsgDesignResearchBegun, 0,
                   MessageParams{.p1 = static_cast<uint32_t>(classIndex), .p2 = group});
}

void UnitResearchPanel::OnActivate(Control* control, int32_t) {
  if (!control || control != projects || projects->selectedValue == 0) return;
  const int32_t classIndex = static_cast<int32_t>(projects->selectedValue);
  bool stock = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitClassRecord* cls = ClassRecordAt(g_world, classIndex);
    if (!cls) return;
    stock = (cls->flags & kClassStock) != 0;
  }
  Screen& popup = stock ? static_cast<Screen&>(g_screens.missileDesignView) : static_cast<Screen&>(g_screens.unitBuild);
  popup.Popup(classIndex, nullptr);
}
