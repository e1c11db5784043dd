#include "screens/military/silo/missile_silo_panels.h"

#include <vector>

#include "records/command_ids.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "screens/docked_panels.h"
#include "screens/common/frame/command_bars.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/common/frame/map_selection.h"
#include "screens/common/frame/main_layout.h"
#include "screens/common/units/build_lists.h"
#include "screens/military/inventory/missile_load_lists.h"
#include "screens/military/production/production_lists.h"
#include "screens/common/units/unit_header.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "sim/unit_order_args.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/id_lookups.h"
#include "world/unit_class.h"
#include "world/world.h"

namespace {

constexpr const char* kSiloTags[] = {"LIST5", "MPARENT2", "MISSILE", "SILOHDR", "AUTHBOX", "PLATFORMNAM"};
constexpr int32_t kSiloIds[] = {200, 201, 202, 203, 204, 300, 301, 302, 303, 304};
constexpr const char* kLoadTags[] = {"LIST5", "MISSILELIST", "SILOHDR", "CAP1", "CAP2", "PLATFORMNAM"};
constexpr int32_t kLoadIds[] = {200, 201, 202, 203, 204, 205, 1666, 1667};
constexpr int32_t kCategoryButton = 200, kCoverOffset = 100;
constexpr uint32_t kAutoDeploy = 0x4000000;
constexpr uint32_t kCountFill = 255;
constexpr int32_t kPopupDepth = 2;

bool Pressed(Control* form, int32_t id) {
  const Control* c = Id(form, id);
  return c && c->Selected();
}
// The first pressed of the category buttons from 201, else 0.
int32_t PressedCategory(Control* form, int32_t last) {
  for (int32_t c = 1; c <= last; ++c)
    if (Pressed(form, kCategoryButton + c)) return c;
  return 0;
}

ListBoxControl* InventoryList() { return g_screens.unitInventory.storedList; }

void RefreshDocked(int32_t level) {
  Control* bar = g_ui.bottomBoxes[level];
  if (bar && !bar->Hidden() && bar->firstChild && bar->firstChild->owner) bar->firstChild->owner->Refresh();
}

}  // namespace

// ---- the platforms of one stored weapon ----

MissileSiloPanel::MissileSiloPanel() : Screen("MILITARY1_ss4b", FormLookups{.tags = kSiloTags, .ids = kSiloIds}) {}

void MissileSiloPanel::OnOpen() {
  missile = static_cast<uint32_t>(id);
  platform = 0;
  bool authorised = false, has = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (const UnitRecord* m = FindUnitById(g_world, missile)) {
      has = true;
      authorised = (m->ordersShown[kOrdersHeader] & kHeaderLaunchAllowed) != 0;
    }
  }
  if (has) SetControlFlag(Tag(currentForm, "AUTHBOX"), kStateSelected, authorised ? 1 : 0);
  SetHidden(container, true);
  ScreenSlotSelectMapMode(g_screens);
}

void MissileSiloPanel::BindControls() {
  DockInSecondBotbar2(*this);
  platforms = MakeListBox("LIST5", 0, currentForm, kListIndicators, this);
  container = Tag(currentForm, "MPARENT2");
  for (int32_t c = 0; c <= kPlatformSilo; ++c) ShowAsMarkerBox(Id(currentForm, kCategoryButton + kCoverOffset + c));
  ShowAsMarkerBox(Tag(currentForm, "GRIDLOAD2"));
}

void MissileSiloPanel::Refresh() {
  Control* form = currentForm;
  for (int32_t c = 0; c <= kPlatformSilo; ++c) SetHidden(Id(form, kCategoryButton + kCoverOffset + c), true);
  uint8_t mask = 0;
  std::string name;
  bool has = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* m = FindUnitById(g_world, missile);
    const UnitClassRecord* cls = m ? UnitClassOf(g_world, *m) : nullptr;
    if (cls) {
      has = true;
      mask = cls->loadableMask;
      name = cls->name;
    }
  }
  if (has) {
    SetControlText(Tag(form, "MISSILE"), name.c_str());
    bool pressedCovered = false;
    int32_t lowest = 0;
    for (int32_t c = kPlatformSilo; c >= 0; --c) {
      if ((mask >> c) & 1u) {
        lowest = c;
        continue;
      }
      SetHidden(Id(form, kCategoryButton + kCoverOffset + c), false);
      pressedCovered = pressedCovered || Pressed(form, kCategoryButton + c);
    }
    if (pressedCovered) {
      for (int32_t c = 0; c <= kPlatformSilo; ++c)
        SetControlFlag(Id(form, kCategoryButton + c), kStateSelected, c == lowest ? 1 : 0);
    }
  } else {
    SetControlText(Tag(form, "MISSILE"), "None Selected");
  }
  siloMode = FillMissileList(platforms, missile, PressedCategory(form, kPlatformSilo), kNoCargoKind);
  SetControlFlag(Tag(form, "SILOHDR"), kStateSelected, siloMode);
}

void MissileSiloPanel::OnCommand(Control* control, int32_t value) {
  platform = ListCurrentUnit(platforms);
  MissilePanelCommand(currentForm, missile, &platform, control, value,
                      MissilePanelHosts{.refresh = &g_screens.unitInventory,
                                        .rowList = InventoryList(),
                                        .sale = &g_screens.unitSaleOffers[0],
                                        .scrap = &g_screens.unitScrapOffers[0],
                                        .container = container});
}

void MissileSiloPanel::OnActivate(Control* control, int32_t) {
  OnMissileListSelect(control, ListCurrentUnit(control), siloMode);
}

void MissileSiloPanel::OnControlChange(Control* control, int32_t) {
  RefreshMissileLoadPanel(currentForm, control, nullptr, missile, siloMode ? nullptr : &platform,
                          ListCurrentUnit(control), siloMode, nullptr, nullptr);
}

// ---- a platform's cargo ----

namespace {

class MissileLoadPanel : public Screen {
 public:
  MissileLoadPanel() : Screen("MILITARY1_ss4c", FormLookups {.tags = kLoadTags, .ids = kLoadIds}) {}
  void OnOpen() override {
    ListHolderClear(g_screens.workingLists[kCargoListIndex]);
    ScreenSlotSelectMapMode(g_screens);
  }
  void Refresh() override {
    Control* form = currentForm;
    category = PressedCategory(form, kPlatformAny);
    FillMissileList(platforms, 0, category, static_cast<int32_t>(id));
    siloMode = category == kPlatformSilo ? 1 : 0;
    SetControlFlag(Tag(form, "SILOHDR"), kStateSelected, siloMode);
    if (siloMode) platform = 0;
    if (!Tag(form, "UNITPIC")) return;
    const bool has = platform != 0;
    SetHidden(Tag(form, "UNITPIC"), !has);
    SetHidden(Tag(form, "UNITPICT"), !has);
    SetHidden(Tag(form, "UNITORDER"), true);
    if (!has) return;
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* p = FindUnitById(g_world, platform);
    const UnitClassRecord* cls = p ? UnitClassOf(g_world, *p) : nullptr;
    if (!cls) return;
    DrawUnitPicture(form, *cls, p, -1, 1);
    SetHidden(Tag(form, "UNITORDER"), p->owner != g_world.gameState.localPlayer);
  }
  void BindControls() override {
    DockInSecondBotbar2(*this);
    platforms = MakeListBox("LIST5", 0, currentForm, kListIndicators, this);
    cargo = MakeListBox("MISSILELIST", 0, currentForm, kListIndicators, this);
    if (cargo) cargo->flags &= ~kCtlRadio;
    MarkScreenFlag1(*this);
    ShowAsMarkerBox(Tag(currentForm, "GRIDLOAD1"));
  }
  void OnCommand(Control* control, int32_t value) override {
    MissilePanelCommand(currentForm, 0, &platform, control, value,
                        MissilePanelHosts{.refresh = &g_screens.unitInventory, .rowList = InventoryList(),
                                          .category = &category});
  }
  void OnActivate(Control* control, int32_t) override {
    OnMissileListSelect(control, ListCurrentUnit(control), siloMode);
  }
  void OnControlChange(Control* control, int32_t) override {
    if (siloMode) platform = 0;
    RefreshMissileLoadPanel(currentForm, control, nullptr, 0, &platform, ListCurrentUnit(control), siloMode, nullptr,
                            nullptr);
  }

  uint32_t platform = 0;  // the chosen platform, 0 none
  ListBoxControl* cargo = nullptr;      // MISSILELIST
  ListBoxControl* platforms = nullptr;  // LIST5
  int32_t category = 0;
  int32_t siloMode = 0;
};

}  // namespace

std::unique_ptr<Screen> MakeMissileLoadPanel() { return std::make_unique<MissileLoadPanel>(); }
// ---- deploy every stored unit ----

namespace {

class DeployAllConfirm : public Screen {
 public:
  DeployAllConfirm() : Screen("MILITARY1_ss4d") {}
  void OnOpen() override { ScreenSlotSelectMapMode(g_screens); }
  void BindControls() override { DockInSecondBotbar2(*this); }
  void OnCommand(Control* control, int32_t) override {
    const bool ok = Is(control, "OK");
    if (!ok && !Is(control, "CANCEL")) return;
    struct Row {
      uint32_t id, word11, carrier;
    };
    std::vector<Row> rows;
    if (ListBoxControl* list = InventoryList()) {
      plat::CriticalSectionLock lock(g_simulationLock);
      for (Control* row = list->firstRow; row; row = ListNextRow(list, row))
        if (const UnitRecord* u = row->id > 0 ? FindUnitById(g_world, static_cast<uint32_t>(row->id)) : nullptr)
          rows.push_back({u->id, u->ordersShown[kOrderFlags], u->carrier});
    }
    for (const Row& u : rows) {
      const bool pending = (u.word11 & kOrderLoadInto) != 0;
      if (ok && pending) continue;
      if (!ok && pending) {
        PostArgs(kCmdUnitCancelOrders, OrderUnitArgs{.unit = u.id});
        continue;
      }
      PostArgs(kCmdUnitSetOrderLevel, OrderValueArgs{.unit = u.id, .value = kCountFill});
      if (!ok || u.carrier != 0) {
        PostArgs(kCmdAddOrderFlags, OrderFlagsArgs{.unit = u.id, .flags = kAutoDeploy, .mask = 0});
      } else {
        PostArgs(kCmdUnitSetStateBits, OrderBitsArgs{.unit = u.id, .bits = kAutoDeploy, .set = 1});
        PostArgs(kCmdAddOrderFlags, OrderFlagsArgs{.unit = u.id, .flags = kOrderLoadInto, .mask = 0});
      }
    }
    if (ok) {
      PopPopupsTo(g_ui, kPopupDepth);
      RefreshDockedPanels(g_screens);
      return;
    }
    EndTextEdit();
    CancelMapPlacement(g_screens);
    if (g_ui.panelDepth > kDockLevelSecond) SetPanelDepth(kDockLevelSecond, 1, g_mapView);
    if (g_ui.panelDepth == 0) g_screens.cmdBar.dockedPanelMarker = 0;
    UpdatePopupButton(g_screens.mailBar);
    RefreshDocked(kDockLevelSecond);
    RefreshDocked(kDockLevelThird);
  }
};

}  // namespace

std::unique_ptr<Screen> MakeDeployAllConfirm() { return std::make_unique<DeployAllConfirm>(); }
