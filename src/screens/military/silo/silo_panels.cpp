#include "screens/military/silo/silo_panels.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/fpenv.h"
#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/docked_panels.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/units/launch_verdict_lines.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/common/frame/map_click.h"
#include "screens/common/units/class_icon.h"
#include "screens/common/facilities/facility_header.h"
#include "screens/common/frame/main_layout.h"
#include "screens/common/units/unit_tab_figures.h"
#include "screens/common/frame/map_popups.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/common/units/unit_lists.h"
#include "screens/military/production/production_lists.h"
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
#include "units/transport/launch_verdict.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/player_names.h"
#include "world/text/text_lists.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

// The launch orders: allowed to launch, at level 1, launching at the
// hex's facility.
constexpr uint32_t kLaunchOrderFlags = kOrderLaunchCargo | kOrderHexFacility;
static_assert(kLaunchOrderFlags == 0xA00u);
constexpr uint32_t kLaunchLevel = 1;
// UNLOAD raises a stored missile's order level by this much.
constexpr uint32_t kUnloadLevelStep = 1;
// A cargo chain longer than this is broken.
// As much of a hex's name as the target box shows.
constexpr size_t kTargetNameMax = 47;
// The control the missile page of the military screen marks.
constexpr int32_t kMissilePageMark = 204;
// Shown for classes without a special kind, and unless a class has a
// special weapon.
constexpr int32_t kConventionalMark = 665;
constexpr int32_t kSpecialWeaponMark = 666;
// BASEDETAILS lets the silo's picture show through.
constexpr uint32_t kDetailsFirstAlpha = 0x4B;
// The release bits of a region's rules of engagement.
constexpr uint32_t kReleaseSpecialWeapons = kRoeLaunchSpecialWeapons;
constexpr uint32_t kReleaseFirstSpecialKind = kRoeLaunchFirstSpecialKind;
// The set's calendar kept for the launch schedule, and its class sheet
// kept for the stock panels.
constexpr size_t kSiloScheduleCalendar = 1;
constexpr size_t kStockClassSheet = 0;
// The diplomatic relations the target box names ("diprel").
enum TargetRelation : int32_t { kRelationOwn = 0, kRelationAlly = 1, kRelationNeutral = 2, kRelationEnemy = 3 };

void ShowId(Control* form, int32_t id, bool shown) { SetHidden(form ? FormFindControlById(form, id) : nullptr, !shown); }

std::string ClassName(const UnitClassImage& cls) { return std::string(cls.name, strnlen(cls.name, sizeof cls.name)); }

uint32_t LocalReleaseBits(const World& world) {
  const int32_t local = world.gameState.localPlayer;
  return local >= 0 && local < kMaxPlayers ? world.players[local].displayPolicy.roeFlags : 0u;
}

// What a button needs to know of a missile, read under the lock.
struct MissileState {
  bool live = false;
  uint32_t target = 0;  // 0 when it has none on the map
  bool ordered = false;
  float strength = 0.0f;
  uint32_t classFlags = 0;
};

MissileState ReadMissile(uint32_t id) {
  MissileState m;
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* unit = id != 0 ? LiveTabUnit(static_cast<intptr_t>(id)) : nullptr;
  if (!unit) return m;
  m.live = true;
  const uint32_t target = unit->ordersShown[kFireHex];
  if (MissileTargetCell(g_world, target) >= 0) m.target = target;
  m.ordered = (unit->ordersShown[kOrderFlags] & kOrderLaunchCargo) != 0;
  m.strength = unit->strength;
  if (const UnitClassRecord* cls = ClassRecordAt(g_world, unit->classIndex)) m.classFlags = cls->flags;
  return m;
}

// Visits each unit aboard the silo (along its cargo chain).
template <class Visit>
void ForEachStored(const World& world, const UnitRecord& silo, Visit visit) {
  uint32_t next = silo.cargoNext;
  for (int guard = 0; next != 0 && guard < kCargoChainLimit; ++guard) {
    const UnitRecord* aboard = FindUnitById(world, next);
    if (!aboard) return;
    next = aboard->cargoNext;
    visit(*aboard);
  }
}

// The list's row whose id is the item, when there is one.
Control* RowOfItem(const ListBoxControl* list, int32_t item) {
  for (Control* row = ListNextRow(list, nullptr); item != 0 && row; row = ListNextRow(list, row))
    if (row->id == item) return row;
  return nullptr;
}

// The panel's missile list: the list box made over its LIST1 placeholder.
ListBoxControl* MissileListOf(Screen& panel) {
  if (auto* silo = dynamic_cast<SiloPanel*>(&panel)) return silo->list;
  return TagAs<ListBoxControl>(panel.currentForm, "LIST1");
}

// The panel is told of its list's current item again, as if picked anew.
void HandBackCurrentItem(Screen& panel) {
  if (ListBoxControl* list = MissileListOf(panel)) panel.OnCommand(list, list->selectedId);
}

// The screen docked in the third level (the second BOTBAR2), when shown.
void RefreshThirdDockLevel() {
  Control* bar = g_ui.bottomBoxes[kDockLevelThird];
  if (g_ui.panelDepth >= kDockLevelThird && bar && !bar->Hidden() && bar->firstChild && bar->firstChild->owner)
    bar->firstChild->owner->Refresh();
}

void EnterTargetPick(Control* form, uint32_t missile) {
  ShowTag(form, "HIDE2", true);
  CloseAllPopups(g_ui, 1);
  PopPopupsTo(g_ui, 0);
  CloseMapPopups(g_screens);
  BeginUnitTargetPick(g_screens, missile);
}

// The missile's reach and what its launch at its target would strike, or
// why it would not go: "REACH" and "STRIKES" of the target box.
void FillLaunchVerdict(World& w, Control* form, const UnitRecord* unit, uint32_t target) {
  if (!unit) {
    EnterText(Tag(form, "REACH"), "");
    EnterText(Tag(form, "STRIKES"), "");
    return;
  }
  const LaunchVerdict v = JudgeLaunch(w, *unit, target, target != 0 ? unit->ordersShown[kFireUnit] : 0, true);
  EnterText(Tag(form, "REACH"), LaunchReachLine(v).c_str());
  EnterText(Tag(form, "STRIKES"), target == 0 ? "" : LaunchStrikesLine(w, v).c_str());
}

}  // namespace

LaunchBar SiloLaunchBar(uint32_t missile) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  const UnitRecord* unit = missile != 0 ? LiveTabUnit(static_cast<intptr_t>(missile)) : nullptr;
  if (!unit) return LaunchBar::kNoMissile;
  const uint32_t target = unit->ordersShown[kFireHex];
  if (MissileTargetCell(w, target) < 0) return LaunchBar::kNoTarget;
  return JudgeLaunch(w, *unit, target, unit->ordersShown[kFireUnit], true).bar;
}

LaunchBar LaunchSiloMissile(uint32_t missile) {
  const LaunchBar bar = SiloLaunchBar(missile);
  if (bar == LaunchBar::kNone) PostSiloOrder(missile);
  return bar;
}

ObjectRefList& SiloMissileList() { return g_screens.workingLists[kSiloMissileListIndex]; }

bool LaunchUnauthorised(uint32_t classFlags, uint32_t releaseBits) {
  if (classFlags & (kClassSpecialWeaponA | kClassSpecialWeaponB)) return !(releaseBits & kReleaseSpecialWeapons);
  if (classFlags & kClassSpecialImmune) return !(releaseBits & kReleaseFirstSpecialKind);
  return false;
}

int32_t SiloStoredPoints(const World& world, const UnitRecord& silo) {
  float points = 0.0f;
  ForEachStored(world, silo, [&](const UnitRecord& aboard) {
    if (const UnitClassRecord* cls = ClassRecordAt(world, aboard.classIndex))
      points += static_cast<float>(cls->slotSize) * aboard.strength;
  });
  return static_cast<int32_t>(points);
}

int32_t SiloCapacityPoints(const UnitClassImage& silo, float strength) {
  return static_cast<int32_t>(static_cast<float>(silo.cargoSlots) * strength);
}

int64_t MissileTargetCell(const World& world, uint32_t packedTarget, int32_t* column, int32_t* row) {
  const int32_t width = world.mapWidth, height = world.mapHeight;
  if (packedTarget == 0 || width <= 0 || height <= 0) return -1;
  int32_t x = PackedHexColumn(packedTarget) % width;
  if (x < 0) x += width;
  const int32_t y = PackedHexRow(packedTarget);
  // A row off the map names no hex: nothing is read for it.
  if (y < 0 || y >= height) return -1;
  const int64_t index = static_cast<int64_t>(y) * width + x;
  if (static_cast<uint64_t>(index) >= world.cells.size()) return -1;
  if (column) *column = x;
  if (row) *row = y;
  return index;
}

void MissileYieldText(char* out, size_t size, const UnitClassImage& cls) {
  // Only a nuclear warhead is reckoned in kilotons; a conventional or
  // chemical missile with a yield would read as nuclear beside its own kind.
  if (cls.strikeYield > 0.0f && (cls.flags & kClassSpecialWeapons))
    plat::FormatText(out, size, "%.1f kt Nuc", static_cast<double>(cls.strikeYield));
  else
    std::snprintf(out, size, "%s", TextListText(kListWeaptype, WarheadLabel(cls.flags)));
}

void FillMissileHeader(ListBoxControl* list, Control* form) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  const uint32_t cell = SelectedFacilityCell(w);
  const FacilityHeader head = ReadFacilityHeader(w, cell);
  const UnitRecord* silo = HeaderFacility(w, cell);
  const bool active = silo && head.active;
  if (Control* header = Tag(form, "ICBMHEADER")) header->SetSelected(active ? 1 : 0);
  if (!list) return;
  const int32_t keptItem = list->selectedId;
  const int32_t keptScroll = list->scrollOffset;
  ListPrepareRows(list);
  ListClear(list, 0);
  if (!active) {
    FormatBaseStatusText(list, head);
    ListLayoutRows(list);
    return;
  }
  ObjectRefList& missiles = SiloMissileList();
  ListHolderClear(missiles);
  ForEachStored(w, *silo, [&](const UnitRecord& aboard) {
    if (aboard.strength > 0.0f && (aboard.unitFlags & kUnitStock))
      NewListItem28(const_cast<UnitRecord*>(&aboard), false, static_cast<intptr_t>(aboard.id), missiles);
  });
  FillUnitList(w, list, missiles, false, false, -1);
  if (Control* row = RowOfItem(list, keptItem)) ListSelectItem(0, list, row, 0);
  ListLayoutRows(list);
  list->scrollOffset = keptScroll;
  if (!list->firstRow) ListAddTextItem(list, "No Missiles", 0, 0, 0, 0, 1);
}

void DrawSiloMissileRow(Control* control, Control* form, uint32_t missile) {
  if (!Is(control, "LIST1")) return;
  const MissileState m = ReadMissile(missile);
  for (const char* tag : {"MISPARENT2", "UNLOAD", "TARGET"}) ShowTag(form, tag, m.live);
  for (const char* tag : {"LAUNCH", "GRIDLAUNCH", "CANCLAUNCH"}) ShowTag(form, tag, false);
  if (!m.live) return;
  if (m.target != 0) {
    ShowTag(form, "CLEARTARG", true);
    ShowTag(form, "CENTRE", true);
    // The pick's hint has done its work once a target is set.
    ShowTag(form, "HIDE2", false);
    ShowTag(form, "TARGET", false);
    ShowTag(form, "AUTOTARGET", false);
    ShowTag(form, "CANCLAUNCH", m.ordered);
    ShowTag(form, "LAUNCH", !m.ordered);
    ShowTag(form, "NOLAUNCH", !m.ordered);
    bool unauthorised = false;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      unauthorised = LaunchUnauthorised(m.classFlags, LocalReleaseBits(g_world));
    }
    ShowTag(form, "GRIDLAUNCH", !m.ordered && unauthorised);
  } else {
    for (const char* tag : {"HIDE1", "CLEARTARG", "CENTRE", "AUTOTARGET", "CANCLAUNCH", "LAUNCH", "GRIDLAUNCH",
                            "NOLAUNCH"})
      ShowTag(form, tag, false);
    ShowTag(form, "TARGET", true);
  }
}

void FillMissileTarget(Control* form, uint32_t missile) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  const UnitRecord* unit = missile != 0 ? LiveTabUnit(static_cast<intptr_t>(missile)) : nullptr;
  const UnitClassRecord* cls = unit ? ClassRecordAt(w, unit->classIndex) : nullptr;
  EnterText(Tag(form, "MISSILE"), cls ? ClassName(*cls).c_str() : "");
  int32_t column = 0, row = 0;
  const int64_t cell = unit ? MissileTargetCell(w, unit->ordersShown[kFireHex], &column, &row) : -1;
  FillLaunchVerdict(w, form, unit, cell >= 0 ? unit->ordersShown[kFireHex] : 0);
  if (cell >= 0) {
    const bool ordered = (unit->ordersShown[kOrderFlags] & kOrderLaunchCargo) != 0;
    const HexCell& target = w.cells[static_cast<size_t>(cell)];
    ShowTag(form, "HIDE1", true);
    char name[kTargetNameMax + 1] = {};
    const HexUnitStack* stack = LoadHexStack(target);
    if (stack && stack->extra && stack->extra->text) std::strncpy(name, stack->extra->text, kTargetNameMax);
    if (!name[0]) std::snprintf(name, sizeof name, "X:%03d Y:%03d", column, row);
    EnterText(Tag(form, "TARGNAME"), name);
    const int32_t owner = CellOwner(target.word);
    const int32_t local = w.gameState.localPlayer;
    EnterText(Tag(form, "OWNER"), LookupLocalizedName(w, w.players[owner]));
    int32_t relation = kRelationNeutral;
    if (owner == local) {
      relation = kRelationOwn;
    } else if (local >= 0 && local < kMaxPlayers) {
      const PlayerPolicyBlock& policy = w.players[local].displayPolicy;
      if (policy.friendlyMask & (1u << owner)) relation = kRelationAlly;
      else if (policy.hostileMask & (1u << owner)) relation = kRelationEnemy;
    }
    EnterText(Tag(form, "RELATION"), TextListText(kListDiprel, relation));
    ShowTag(form, "CLEARTARG", true);
    ShowTag(form, "CENTRE", true);
    // The pick's hint has done its work once a target is set.
    ShowTag(form, "HIDE2", false);
    ShowTag(form, "TARGET", false);
    ShowTag(form, "AUTOTARGET", false);
    ShowTag(form, "CANCLAUNCH", ordered);
    ShowTag(form, "LAUNCH", !ordered);
    ShowTag(form, "NOLAUNCH", !ordered);
  } else {
    ShowTag(form, "HIDE1", false);
    EnterText(Tag(form, "TARGNAME"), "No Target");
    EnterText(Tag(form, "OWNER"), "");
    EnterText(Tag(form, "RELATION"), "");
    for (const char* tag : {"CLEARTARG", "CENTRE", "AUTOTARGET", "CANCLAUNCH", "LAUNCH", "NOLAUNCH"})
      ShowTag(form, tag, false);
    ShowTag(form, "TARGET", true);
  }
  if (!cls) {
    EnterText(Tag(form, "YIELD"), "");
    EnterText(Tag(form, "YIELD2"), "");
    return;
  }
  char yield[48];
  MissileYieldText(yield, sizeof yield, *cls);
  EnterText(Tag(form, "YIELD"), yield);
  EnterText(Tag(form, "YIELD2"), TextListText(kListWeaptype, WarheadLabel(cls->flags)));
  ShowId(form, kConventionalMark, !(cls->flags & kClassSpecialKinds));
  ShowId(form, kSpecialWeaponMark, (cls->flags & (kClassSpecialWeaponA | kClassSpecialWeaponB)) != 0);
}

void PostSiloOrder(uint32_t missile) { PostSiloOrderAt(missile, ReadMissile(missile).target); }

void PostSiloOrderAt(uint32_t missile, uint32_t target) {
  const MissileState m = ReadMissile(missile);
  if (!m.live || target == 0 || !(m.strength >= 1.0f)) return;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (MissileTargetCell(g_world, target) < 0) return;
  }
  PostArgs(kCmdUnitSetDestination, OrderHexArgs{.unit = missile, .hex = target});
  PostArgs(kCmdUnitSetFireHex, OrderHexArgs{.unit = missile, .hex = target});
  PostArgs(kCmdUnitSetOrdersHeaderBits, OrderBitsArgs{.unit = missile, .bits = kHeaderLaunchAllowed, .set = 1});
  PostArgs(kCmdUnitSetOrderLevel, OrderValueArgs{.unit = missile, .value = kLaunchLevel});
  PostArgs(kCmdAddOrderFlags, OrderFlagsArgs{.unit = missile, .flags = kLaunchOrderFlags, .mask = 0});
}

void OnSiloCommand(const SiloCommandScreens& screens, uint32_t missile, Control* control, Control* form,
                   int32_t value) {
  if (!control) return;
  const auto refresh = [&] {
    if (screens.refresh) screens.refresh->Refresh();
  };
  const auto showWithMissile = [&](Screen* screen) { screen->Show(static_cast<intptr_t>(missile), nullptr); };
  if (Is(control, "UNLOAD")) {
    if (missile != 0) {
      PostArgs(kCmdUnitAddOrderLevel, OrderValueArgs{.unit = missile, .value = kUnloadLevelStep});
      PostArgs(kCmdAddOrderFlags, OrderFlagsArgs{.unit = missile, .flags = kOrderUnloadDue, .mask = 0});
    }
    RefreshThirdDockLevel();
    if (screens.refresh) {
      HandBackCurrentItem(*screens.refresh);
      screens.refresh->Refresh();
    }
  } else if (Is(control, "BUILD")) {
    if (screens.build) screens.build->Show(kKeepScreenId, nullptr);
  } else if (Is(control, "DEPLOY")) {
    if (screens.stock) screens.stock->Show(kKeepScreenId, nullptr);
  } else if (Is(control, "TARGET")) {
    if (missile == 0) return;
    if (screens.targetPanel) showWithMissile(screens.targetPanel);
    else EnterTargetPick(form, missile);
  } else if (Is(control, "LAUNCH")) {
    if (screens.launch && missile != 0) {
      showWithMissile(screens.launch);
    } else {
      // A launch that cannot go is refused here, its reason on the panel.
      const LaunchBar bar = LaunchSiloMissile(missile);
      if (bar != LaunchBar::kNone) {
        EnterText(Tag(form, "STRIKES"), LaunchBarText(bar));
        return;
      }
      refresh();
    }
  } else if (Is(control, "CANCLAUNCH")) {
    if (missile == 0) return;
    const MissileState m = ReadMissile(missile);
    PostArgs(kCmdUnitCancelOrders, OrderUnitArgs{.unit = missile});
    // Cancelling clears every order; the target is given back.
    if (m.target != 0) PostArgs(kCmdUnitSetFireHex, OrderHexArgs{.unit = missile, .hex = m.target});
    refresh();
  } else if (Is(control, "NOLAUNCH")) {
    if (screens.refresh) HandBackCurrentItem(*screens.refresh);
  } else if (Is(control, "AUTOTARGET")) {
    return;
  } else if (Is(control, "CLEARTARG")) {
    if (missile == 0) return;
    PostArgs(kCmdUnitSetFireHex, OrderHexArgs{.unit = missile, .hex = 0});
    refresh();
  } else if (Is(control, "CENTRE")) {
    const MissileState m = ReadMissile(missile);
    if (m.target == 0) return;
    CloseAllPopups(g_ui, 1);
    PopPopupsTo(g_ui, 0);
    GotoHexPacked(m.target);
    CentreMapOnHex(g_mapView, m.target);
  } else if (Is(control, "LIST1") && value != 0) {
    if (screens.targetPanel) screens.targetPanel->Show(value, nullptr);
    else FillMissileTarget(form, static_cast<uint32_t>(value));
  }
}

void OnSiloListEvent(Control* control, int32_t value) {
  if (!Is(control, "LIST1") || value == 0) return;
  ScreenParameterList browse;
  const ObjectRefList& missiles = SiloMissileList();
  for (const ListItem28* item = FirstInHolder(missiles); item; item = NextInHolder(missiles, item))
    browse.entries.push_back(item->callerWord);
  browse.current = value;
  g_screens.missiles.Popup(value, &browse);
}

void SiloPanel::BindControls() {
  DockInBotbar2(*this);
  list = MakeListBox("LIST1", 0, currentForm, kListIndicators, this);
  if (Control* details = Tag(currentForm, "BASEDETAILS")) {
    SetAlpha(details->fills[0], kDetailsFirstAlpha);
    SetAlpha(details->fills[1], 0);
    SetAlpha(details->fills[2], 0);
  }
}

void SiloPanel::OnOpen() { ScreenSlotResetMapMode(g_screens); }

void SiloPanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  const uint32_t cell = SelectedFacilityCell(w);
  const FacilityHeader head = ReadFacilityHeader(w, cell);
  const UnitRecord* silo = HeaderFacility(w, cell);
  FillFacilityHeader(currentForm, head);
  FillMissileHeader(list, currentForm);
  ShowTag(currentForm, "OFFLINE", !(silo && head.active));
  // A silo gone since the panel opened leaves the figures as they were.
  if (!silo) return;
  const UnitClassRecord* cls = ClassRecordAt(w, silo->classIndex);
  char text[16];
  std::snprintf(text, sizeof text, "%d", SiloStoredPoints(w, *silo));
  EnterText(Tag(currentForm, "SILO1"), text);
  std::snprintf(text, sizeof text, "%d", cls ? SiloCapacityPoints(*cls, silo->strength) : 0);
  EnterText(Tag(currentForm, "SILO2"), text);
  if (Control* picture = Tag(currentForm, "INDPIC"))
    DrawUnitClassIcon(silo->classIndex, nullptr, cls, picture, true, -1);
}

void SiloPanel::OnCommand(Control* control, int32_t value) {
  if (!control) return;
  // A released toggle closes the panels above; a list (single-select, so
  // with the same style bit) only picks a row.
  if ((control->flags & kCtlRadio) && control->kind != kKindListBox && !control->Selected()) {
    PopPopupsTo(g_ui, kDockLevelSecond);
    return;
  }
  MapScreen& map = g_screens.mapScreen;
  if (Is(control, "BASEDETAILS")) {
    // Held while the pop-up takes the facility: the turn thread may free it.
    plat::CriticalSectionLock lock(g_simulationLock);
    OpenSiloPopup(g_screens, HeaderFacility(g_world, SelectedFacilityCell(g_world)));
  } else if (control->id == kSiloActionsButton) {
    map.facilityActions.Show(kKeepScreenId, nullptr);
  } else if (control->id == kSiloMissilePageButton) {
    Screen& page = g_screens.unitClassList;
    page.Show(kKeepScreenId, nullptr);
    if (Control* mark = page.currentForm ? FormFindControlById(page.currentForm, kMissilePageMark) : nullptr)
      SetControlFlag(mark, kStateSelected, 1);
  } else {
    const uint32_t missile = list ? static_cast<uint32_t>(list->selectedId) : 0u;
    OnSiloCommand({.targetPanel = &g_screens.siloMissileTarget,
                   .refresh = this,
                   .stock = g_screens.siloStoredMissiles.get(),
                   .launch = g_screens.siloLaunchSchedule.get()},
                  missile, control, currentForm, value);
  }
}

void SiloPanel::OnControlChange(Control* control, int32_t value) {
  DrawSiloMissileRow(control, currentForm, static_cast<uint32_t>(value));
}

void SiloMissileSubPanel::KeepMissile() {
  if (id != kKeepScreenId) missile = static_cast<uint32_t>(id);
}

void SiloMissileSubPanel::OnCommand(Control* control, int32_t value) {
  OnSiloCommand({}, missile, control, currentForm, value);
}

void MissileTargetPanel::BindControls() { DockInSecondBotbar2(*this); }

void MissileTargetPanel::OnOpen() {
  KeepMissile();
  ShowTag(currentForm, "HIDE2", false);
  ScreenSlotSelectMapMode(g_screens);
}

namespace {

class LaunchSchedulePanel : public SiloMissileSubPanel {
 public:
  LaunchSchedulePanel() : SiloMissileSubPanel("MAP1_ss8d", FormLookups{.tags = kLaunchScheduleTags, .ids = {}}) {}
  void BindControls() override {
    DockInSecondBotbar2(*this);
    calendarParent = Tag(currentForm, "CALPARENT");
  }
  void OnOpen() override {
    KeepMissile();
    // The calendar the set keeps for the silo's schedule.
    g_screens.diplomacySchedule[kSiloScheduleCalendar].Show(0, calendarParent);
    ScreenSlotSelectMapMode(g_screens);
  }

  Control* calendarParent = nullptr;
};

}  // namespace

std::unique_ptr<Screen> MakeLaunchSchedulePanel() { return std::make_unique<LaunchSchedulePanel>(); }

void CollectStoredMissiles(World& w, ListHolder& into) {
  CollectUnits(w, CollectUnitsArgs{.resultList = &into,
                                   .category = 4,
                                   .stock = 1,
                                   .viewingPlayer = w.gameState.localPlayer,
                                   .relationMask = 1,
                                   .orderBit1AndSorting = 1,
                                   .orderStatus = 0,
                                   .clearFirst = 1,
                                   .missileLoadKinds = 15,
                                   .classGroup = 8});
}

namespace {

class StoredMissilesPanel : public Screen {
 public:
  StoredMissilesPanel() : StoredMissilesPanel("MAP1_ss8c", kStoredMissilesTags) {}
  ~StoredMissilesPanel() override { ListHolderClear(stock); }
  void BindControls() override {
    DockInSecondBotbar2(*this);
    statParent = Tag(currentForm, "STATPARENT");
    storedList = MakeListBox("STOREDLIST", 0, currentForm, kListIndicators, this);
    if (Tag(currentForm, "LIST1")) siloList = MakeListBox("LIST1", 0, currentForm, kListIndicators, this);
  }
  void OnOpen() override {
    SetHidden(statParent, true);
    ScreenSlotSelectMapMode(g_screens);
  }
  void Refresh() override {
    if (storedList) {
      plat::CriticalSectionLock lock(g_simulationLock);
      World& w = g_world;
      const int32_t keptItem = storedList->selectedId;
      const int32_t keptScroll = storedList->scrollOffset;
      ListClear(storedList, 0);
      CollectStoredMissiles(w, stock);
      FillUnitList(w, storedList, stock, false, false, -1);
      if (Control* row = RowOfItem(storedList, keptItem)) ListSelectItem(0, storedList, row, 0);
      ListLayoutRows(storedList);
      storedList->scrollOffset = keptScroll;
    }
    if (siloList) FillMissileHeader(siloList, currentForm);
  }
  void OnCommand(Control* control, int32_t value) override {
    if (!control) return;
    if (Is(control, "UNLOAD")) {
      // The missile picked in the silo's own list comes out of it.
      const uint32_t missile = siloList && siloList->selectedId > 0 ? static_cast<uint32_t>(siloList->selectedId) : 0u;
      if (missile != 0) OnSiloCommand({.refresh = this}, missile, control, currentForm, value);
      return;
    }
    if (control != storedList && control != siloList) {
      OnProductionListCommand(currentForm, control, value,
                              ProductionListHosts{.classSheet = &g_screens.unitPicturePanels[kStockClassSheet],
                                                  .classSheetParent = statParent,
                                                  .sell = &g_screens.unitSaleOffers[0],
                                                  .scrap = &g_screens.unitScrapOffers[0],
                                                  .confirmParent = statParent});
      return;
    }
    if (control != storedList || value == 0) return;
    int32_t classIndex = 0;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      if (const UnitRecord* unit = LiveTabUnit(value)) classIndex = unit->classIndex;
    }
    if (classIndex == 0) return;
    SetHidden(statParent, false);
    g_screens.unitPicturePanels[kStockClassSheet].Show(classIndex, statParent);
  }
  void OnControlChange(Control* control, int32_t value) override {
    if (control && control == siloList) ShowTag(currentForm, "UNLOAD", value != 0);
  }
  // A stock row opens the missile pop-up on it.
  void OnActivate(Control* control, int32_t value) override {
    if (control && control == storedList)
      OnProductionListEvent(currentForm, control, value, nullptr, nullptr, kProductionSiloBase);
  }

  ListBoxControl* storedList = nullptr;
  ListBoxControl* siloList = nullptr;  // MAP1_ss8c2 only
  Control* statParent = nullptr;
  ObjectRefList stock{};

 protected:
  StoredMissilesPanel(const char* formName, std::span<const char* const> tags)
      : Screen(formName, FormLookups{.tags = tags, .ids = {}}) {}
};

class StoredMissilesPanel2 : public StoredMissilesPanel {
 public:
  StoredMissilesPanel2() : StoredMissilesPanel("MAP1_ss8c2", kStoredMissiles2Tags) {}
};

}  // namespace

std::unique_ptr<Screen> MakeStoredMissilesPanel() { return std::make_unique<StoredMissilesPanel>(); }
std::unique_ptr<Screen> MakeStoredMissilesPanel2() { return std::make_unique<StoredMissilesPanel2>(); }
