#include "screens/military/silo/missile_panels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/number_text.h"
#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/common/units/class_icon.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/common/units/unit_lists.h"
#include "screens/common/units/build_item_row.h"
#include "screens/military/production/production_lists.h"
#include "screens/military/inventory/missile_load_lists.h"
#include "screens/military/inventory/unit_offer_panel.h"
#include "screens/military/silo/missile_site_list.h"
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
#include "world/local_player.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "units/hex_geometry.h"
#include "world/data_tables.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/list_holder.h"
#include "world/record_helpers.h"
#include "world/text/ui_options.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/unit_create.h"
#include "world/world.h"

namespace {

// A build site is a base: a double click on one opens its own pop-up, as
// the unit build pop-up's site list does.
void OpenChosenSite(const ListBoxControl* sites, bool siloMode) {
  if (!sites || sites->selectedValue == 0) return;
  const UnitRecord* site = nullptr;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    site = FindUnitById(g_world, static_cast<uint32_t>(sites->selectedValue));
  }
  if (!site) return;
  if (siloMode) {
    OpenSiloPopup(g_screens, site, 0);
  } else {
    OpenBasePopup(g_screens, site, 0);
  }
}

// The class row a build site's selection shows in.
constexpr size_t kSiteClassRow = 29;

constexpr const char* kBuildTags[] = {"QTY", "PRICEBUILD", "DAYS", "PTS", "SILOHDR", "STATPARENT", "LIST5"};
constexpr const char* kStatusTags[] = {"STATUS", "QUEUE", "CAPACITY", "OFFLINE", "BASEPIC"};

const HexCell* UnitCell(const World& w, const UnitRecord& u) {
  if (w.mapWidth <= 0 || u.y < 0 || u.y >= w.mapHeight) return nullptr;
  const int32_t x = ((u.x % w.mapWidth) + w.mapWidth) % w.mapWidth;
  const size_t at = static_cast<size_t>(u.y) * static_cast<size_t>(w.mapWidth) + static_cast<size_t>(x);
  return at < w.cells.size() ? &w.cells[at] : nullptr;
}

}  // namespace

float MissileBuildPrice(const UnitClassRecord& cls, float strength, float goodsPrice) {
  // Money scales with the square root of a strength below one, the goods
  // with the strength itself; sea and submarine classes take half the goods.
  const float n = static_cast<float>(cls.strengthPerSize);
  const float s = strength >= 1.0f ? strength : std::sqrt(std::max(strength, 0.0f));
  const float half = cls.kind == 2 || cls.kind == 3 ? 0.5f : 1.0f;
  const float goods = (n * cls.weight * half * strength + 0.9f) * goodsPrice;
  return n * cls.costPerElement * s + goods + 0.9f;
}

int32_t MissileBuildDays(const UnitClassRecord& cls, float strength) {
  const float s = strength >= 1.0f ? strength : std::sqrt(strength);
  return static_cast<int32_t>(static_cast<float>(cls.strengthPerSize) * cls.buildWorkPerPoint * s + 1.0f + 0.99f);
}

void ShowSiteSelection(Control* form, Control* list, intptr_t item, bool siloMode, Screen* statusPanel,
                       Screen* classRow) {
  if (!Is(list, "LIST5")) return;
  Control* parent = Tag(form, "STATPARENT");
  SetHidden(parent, item == 0);
  SetHidden(Tag(form, "HIDEBASE"), true);
  if (item == 0) return;
  Screen* shown = siloMode ? statusPanel : classRow;
  if (shown) shown->Show(item, parent);
  SetHidden(Tag(form, "HIDEBASE"), false);
}

// ---- a launch facility's status ----

MissileBaseStatusPanel::MissileBaseStatusPanel(const char* formName)
    : Screen(formName, FormLookups{.tags = kStatusTags, .ids = {}}) {}

void MissileBaseStatusPanel::BindControls() { picture = Tag(currentForm, "BASEPIC"); }

void MissileBaseStatusPanel::Refresh() {
  if (!currentForm) return;
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  const UnitRecord* facility = FindUnitById(w, static_cast<uint32_t>(id));
  if (!facility) return;
  const HexCell* cell = UnitCell(w, *facility);
  const HexUnitStack* stack = cell ? LoadHexStack(*cell) : nullptr;
  const UnitRecord* lead = stack ? stack->lead : nullptr;
  const bool present = lead && !(lead->unitFlags & kUnitGone) && lead->classIndex != 0;
  const bool shown = present && (CellOwner(cell->word) == LocalPlayerIndex(g_world) || !(lead->unitFlags & kUnitProvisional));
  const bool leadActive = present && !(lead->ordersShown[kPostureBits] & kPostureInReserve);
  SetControlFlag(Tag(currentForm, "STATUS"), kStateSelected, leadActive ? 1 : 0);
  // What the facility holds: load points by strength over its cargo chain.
  float load = 0.0f;
  size_t steps = 0;
  for (const UnitRecord* u = FindUnitById(w, facility->cargoNext); u && steps < 100000; ++steps) {
    if (const UnitClassRecord* k = ClassRecordAt(w, u->classIndex)) load += static_cast<float>(k->slotSize) * u->strength;
    u = u->cargoNext != 0 && u->cargoNext != facility->cargoNext ? FindUnitById(w, u->cargoNext) : nullptr;
  }
  SetInt(Tag(currentForm, "QUEUE"), static_cast<int32_t>(std::lround(load)));
  const UnitClassRecord* own = ClassRecordAt(w, facility->classIndex);
  const float capacity = own ? static_cast<float>(own->cargoSlots) * facility->strength : 0.0f;
  SetInt(Tag(currentForm, "CAPACITY"), static_cast<int32_t>(std::lround(capacity)));
  const bool active = !(facility->unitFlags & kUnitGone) && facility->classIndex != 0 &&
                      !(facility->ordersShown[kPostureBits] & kPostureInReserve);
  SetHidden(Tag(currentForm, "OFFLINE"), active);
  const UnitClassRecord* kind = shown ? ClassRecordAt(w, lead->classIndex) : nullptr;
  DrawUnitClassIcon(shown ? lead->classIndex : 0, nullptr, kind, picture, false, -1);
}

// ---- the build panel ----

namespace {

class MissileBuildPanel : public Screen {
 public:
  MissileBuildPanel() : Screen("POPUP_MISSILE_SS3", FormLookups {.tags = kBuildTags, .ids = {}}) {}
  void OnOpen() override {
    bool silo = false, authorised = false;
    float price = 0.0f;
    int32_t days = 0, points = 0;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      state.selected = ClassRecordAt(g_world, static_cast<int32_t>(id));
      if (!state.selected) return;
      const UnitClassRecord& cls = *state.selected;
      silo = SiloBasedDesign(cls);
      authorised = (cls.flags & kClassBatchStock) != 0;
      const PlayerRecord* local = LocalPlayer(g_world);
      price = MissileBuildPrice(cls, state.strength, local ? local->costFactor : 0.0f);
      days = MissileBuildDays(cls, state.strength);
      points = cls.slotSize;
    }
    ShowBuildOptions(currentForm);
    SetControlFlag(Tag(currentForm, "HEADER"), kStateSelected, silo ? 1 : 0);
    if (g_uiOptions.buiresetubuilddef) state.quantity = 1;
    SetInt(Tag(currentForm, "QTY"), state.quantity);
    SetMoney(Tag(currentForm, "PRICEBUILD"), static_cast<double>(price));
    SetInt(Tag(currentForm, "DAYS"), days);
    SetInt(Tag(currentForm, "PTS"), points);
    SetControlFlag(Tag(currentForm, "AUTHBOX"), kStateSelected, authorised ? 1 : 0);
    SetHidden(statusHost, true);
    if (sites) {
      ListClear(sites, 1);
      ListResetScroll(sites);
    }
  }
  void Refresh() override {
    if (!currentForm || !state.selected) return;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      siloMode = FillMissileSiteList(sites, *state.selected, -1);
    }
    SetControlFlag(Tag(currentForm, "SILOHDR"), kStateSelected, siloMode ? 1 : 0);
    for (const char* tag : {"BUILDGRID1", "BUILDGRID2", "BUILDGRID3", "BUILDGRID4"}) SetHidden(Tag(currentForm, tag), true);
  }
  void BindControls() override {
    sites = MakeListBox("LIST5", 0, currentForm, kListIndicators, this);
    statusHost = Tag(currentForm, "STATPARENT");
    state.quantity = 1;
    state.strength = 1.0f;
  }
  void OnCommand(Control* control, int32_t controlId) override {
    if (!control) return;
    OnBuildListCommand(currentForm, state, nullptr, control, control->id ? control->id : controlId,
                       &g_screens.missileDesignView, this);
  }
  void OnActivate(Control* control, int32_t) override {
    if (Is(control, "LIST5")) OpenChosenSite(sites, siloMode);
  }
  void OnControlChange(Control* control, int32_t id) override {
    if (!control) return;
    if (Is(control, "QTY")) {
      state.quantity = std::max(1, std::atoi(control->text.c_str()));
      return;
    }
    const intptr_t item = control == sites ? sites->selectedValue : id;
    ShowSiteSelection(currentForm, control, item, siloMode, &g_screens.missileBaseStatus[0],
                      &g_screens.militarySclass[kSiteClassRow]);
  }

  BuildListState state;             // the design, quantity (at least 1) and strength
  ListBoxControl* sites = nullptr;  // LIST5
  Control* statusHost = nullptr;    // STATPARENT
  bool siloMode = false;
};

}  // namespace

std::unique_ptr<Screen> MakeMissileBuildPanel() { return std::make_unique<MissileBuildPanel>(); }
// ---- the panels of a stock ----

namespace {

constexpr int32_t kKindButtons = 200;
constexpr int32_t kKindCovers = 300;
constexpr int32_t kStockListId = 0x2000;
constexpr int32_t kCarrierClassRow = 30;
constexpr int32_t kDeployClassRow = 31;
constexpr size_t kMapLabelMax = 47;

constexpr const char* kCancelTags[] = {"PTS", "AUTHBOX", "CANCEL", "SILOHDR", "STATPARENT", "LIST5"};
constexpr const char* kDeployTags[] = {"MPARENT2", "STATPARENT", "SILOHDR", "TARGPLAT", "CENTRE2", "DEPTARG"};
constexpr int32_t kDeployIds[] = {200, 201, 202, 203, 204, 300, 301, 302, 303, 304, kStockListId};
constexpr const char* kPlatformTags[] = {"AUTHBOX", "INSPECT", "PLATFORMNAM", "STATPARENT", "UNLOADALL"};
constexpr const char* kStatusPanelTags[] = {"MSTATUS"};

const UnitRecord* StockOf(const Screen& panel) {
  plat::CriticalSectionLock lock(g_simulationLock);
  return FindUnitById(g_world, static_cast<uint32_t>(panel.id));
}

const UnitClassRecord* StockClassOf(const UnitRecord* stock) {
  plat::CriticalSectionLock lock(g_simulationLock);
  return stock ? ClassRecordAt(g_world, stock->classIndex) : nullptr;
}

bool Authorised(const UnitRecord& stock) { return (stock.ordersShown[kOrdersHeader] & kHeaderLaunchAllowed) != 0; }

// The authorisation box shows whether the stock may be launched; unticked
// when there is no stock.
void ShowAuthorisation(const Screen& panel, const UnitRecord* stock) {
  SetControlFlag(Tag(panel.currentForm, "AUTHBOX"), kStateSelected, stock && Authorised(*stock) ? 1 : 0);
}

// The authorisation box posts the new state of the stock's launch permission.
void PostAuthorisation(const Screen& panel, const Control* box) {
  bool own = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* stock = StockOf(panel);
    own = stock && LocalPlayerIndex(g_world) >= 0 && stock->owner == LocalPlayerIndex(g_world);
  }
  if (!own) return;
  PostArgs(kCmdUnitSetOrdersHeaderBits, OrderBitsArgs{.unit = static_cast<uint32_t>(panel.id),
                                                      .bits = kHeaderLaunchAllowed,
                                                      .set = box->Selected() ? 1u : 0u});
}

std::string HexLabel(const World& w, uint32_t hex) {
  const int32_t width = w.mapWidth;
  if (width <= 0) return {};
  const int32_t x = ((HexX(hex) % width) + width) % width, y = HexY(hex);
  if (y < 0 || y >= w.mapHeight) return {};
  const size_t at = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
  const HexUnitStack* stack = at < w.cells.size() ? LoadHexStack(w.cells[at]) : nullptr;
  if (!stack || !stack->extra || !stack->extra->text) return {};
  return std::string(stack->extra->text).substr(0, kMapLabelMax);
}

// The offer panels and the facility status panel the deployment panel
// shows its sale and its chosen launch facility in.
constexpr size_t kDeployOfferSlot = 2;
constexpr size_t kDeployStatusSlot = 3;

}  // namespace

DeployKinds ChooseDeployKinds(uint8_t platformMask, const bool (&checked)[5]) {
  DeployKinds k;
  int32_t lowest = 0;
  bool coveredChecked = false;
  for (int32_t kind = 4; kind >= 0; --kind) {
    k.checked[kind] = checked[kind];
    if (!((platformMask >> kind) & 1u)) {
      k.covered[kind] = true;
      coveredChecked = coveredChecked || checked[kind];
      k.checked[kind] = false;
    } else {
      lowest = kind;
    }
  }
  if (coveredChecked) k.checked[lowest] = true;
  for (int32_t kind = 1; kind <= 4 && k.kind == 0; ++kind)
    if (k.checked[kind]) k.kind = kind;
  return k;
}

DeployTargetShown DeployTargetOf(const World& world, const UnitRecord& stock, bool platformList) {
  DeployTargetShown shown;
  if (!platformList) {
    const UnitRecord* platform =
        stock.ordersShown[kLeaderUnit] != 0 ? FindUnitById(world, stock.ordersShown[kLeaderUnit]) : nullptr;
    if (!platform) {
      shown.text = "First Available";
      return shown;
    }
    shown.text = UnitDisplayName(world, *platform);
    shown.hex = PackHex(platform->x, platform->y);
    return shown;
  }
  shown.hex = stock.ordersShown[kDestination];
  shown.text = HexLabel(world, shown.hex);
  return shown;
}

std::string LaunchFacilityName(const World& world, const UnitRecord& facility) {
  std::string label = HexLabel(world, PackHex(facility.x, facility.y));
  if (!label.empty()) return label;
  char text[24];
  std::snprintf(text, sizeof text, "X:%03d Y:%03d", facility.x, facility.y);
  return text;
}

// -- construction --

MissileCancelPanel::MissileCancelPanel() : Screen("POPUP_MISSILE_SS3a", FormLookups{.tags = kCancelTags, .ids = {}}) {}

void MissileCancelPanel::BindControls() {
  sites = MakeListBox("LIST5", 0, currentForm, kListIndicators, this);
  statusHost = Tag(currentForm, "STATPARENT");
}

void MissileCancelPanel::OnOpen() {
  SetHidden(statusHost, true);
  if (sites) ListClear(sites, 1);
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* stock = StockOf(*this);
  const UnitClassRecord* cls = StockClassOf(stock);
  SetInt(Tag(currentForm, "PTS"), cls ? cls->slotSize : 0);
  ShowAuthorisation(*this, stock);
}

void MissileCancelPanel::Refresh() {
  if (!currentForm) return;
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* stock = StockOf(*this);
  const UnitClassRecord* cls = StockClassOf(stock);
  SetHidden(Tag(currentForm, "CANCEL"), !(stock && (stock->ordersShown[kPostureBits] & kPostureUnderConstruction)));
  siloMode = cls && FillMissileSiteList(sites, *cls, -1);
  SetControlFlag(Tag(currentForm, "SILOHDR"), kStateSelected, siloMode ? 1 : 0);
}

void MissileCancelPanel::OnCommand(Control* control, int32_t) {
  if (Is(control, "AUTHBOX")) {
    PostAuthorisation(*this, control);
    return;
  }
  if (!Is(control, "CANCEL")) return;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* stock = StockOf(*this);
    if (!stock || stock->owner != LocalPlayerIndex(g_world)) return;
    PostUnitReleaseCommands(*stock);
  }
  g_screens.missileStockView.Close(0);
}

void MissileCancelPanel::OnControlChange(Control* control, int32_t id) {
  const intptr_t item = control && control == sites ? sites->selectedValue : id;
  ShowSiteSelection(currentForm, control, item, siloMode, &g_screens.missileBaseStatus[1],
                    &g_screens.militarySclass[kCarrierClassRow]);
}

void MissileCancelPanel::OnActivate(Control* control, int32_t) {
  if (Is(control, "LIST5")) OpenChosenSite(sites, siloMode);
}

// -- deployment --

MissileDeployPanel::MissileDeployPanel()
    : Screen("POPUP_MISSILE_SS3b", FormLookups{.tags = kDeployTags, .ids = kDeployIds}) {}

void MissileDeployPanel::BindControls() {
  sites = MakeListBox(nullptr, kStockListId, currentForm, kListIndicators, this);
  // The shared load handlers know the platform list by its tag.
  if (sites) SetControlTag(sites, "LIST5");
  infoHost = Tag(currentForm, "MPARENT2");
  statusHost = Tag(currentForm, "STATPARENT");
}

void MissileDeployPanel::OnOpen() {
  SetHidden(infoHost, true);
  SetHidden(statusHost, true);
  if (sites) ListClear(sites, 1);
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* stock = StockOf(*this);
  ShowAuthorisation(*this, stock);
}

void MissileDeployPanel::Refresh() {
  if (!currentForm) return;
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* stock = StockOf(*this);
  const UnitClassRecord* cls = StockClassOf(stock);
  if (!cls) return;
  bool checked[5] = {};
  for (int32_t k = 0; k < 5; ++k) {
    const Control* button = FormFindControlById(currentForm, kKindButtons + k);
    checked[k] = button && button->Selected();
  }
  const DeployKinds kinds = ChooseDeployKinds(cls->loadableMask, checked);
  for (int32_t k = 0; k < 5; ++k) {
    SetHidden(FormFindControlById(currentForm, kKindCovers + k), !kinds.covered[k]);
    SetControlFlag(FormFindControlById(currentForm, kKindButtons + k), kStateSelected, kinds.checked[k] ? 1 : 0);
  }
  targetKind = kinds.kind;
  platformList = FillMissileList(sites, stock->id, targetKind, kNoCargoKind) == 0;
  SetControlFlag(Tag(currentForm, "SILOHDR"), kStateSelected, platformList ? 1 : 0);
  SetHidden(Tag(currentForm, "HIDEAUTH"), false);
  SetHidden(Tag(currentForm, "HIDEBOX2"), false);
  const bool ordered = (stock->ordersShown[kOrderFlags] & kOrderLoadInto) != 0;
  SetHidden(Tag(currentForm, "GRIDLOAD1"), !ordered);
  SetHidden(Tag(currentForm, "LOADSTOP"), !ordered);
  SetHidden(Tag(currentForm, "SELL"), ordered);
  SetHidden(Tag(currentForm, "DEPTARG"), !ordered);
  deployTarget = 0;
  if (ordered) {
    const DeployTargetShown target = DeployTargetOf(g_world, *stock, platformList);
    SetControlText(Tag(currentForm, "TARGPLAT"), target.text.c_str());
    deployTarget = target.hex;
  }
  SetHidden(Tag(currentForm, "CENTRE2"), deployTarget == 0);
}

void MissileDeployPanel::OnCommand(Control* control, int32_t id) {
  if (!control) return;
  const int32_t controlId = control->id ? control->id : id;
  if (controlId >= kKindButtons && controlId < kKindButtons + 5) {
    targetKind = controlId - kKindButtons;
    for (int32_t k = 0; k < 5; ++k)
      SetControlFlag(FormFindControlById(currentForm, kKindButtons + k), kStateSelected, k == targetKind ? 1 : 0);
    Refresh();
  } else if (Is(control, "CENTRE2")) {
    if (deployTarget == 0) return;
    GotoHexPacked(deployTarget);
    if (g_ui.mapView) CentreMapOnHex(*g_ui.mapView, deployTarget);
  } else if (Is(control, "AUTHBOX")) {
    PostAuthorisation(*this, control);
  } else if (control == sites) {
    // A platform picked: its name, load and the load buttons.
    uint32_t platform = 0;
    RefreshMissileLoadPanel(currentForm, control, statusHost, static_cast<uint32_t>(this->id), &platform,
                            ListCurrentUnit(sites), platformList ? 0 : 1, &g_screens.militarySclass[kDeployClassRow],
                            &g_screens.missileBaseStatus[kDeployStatusSlot]);
  } else if (!Is(control, "TARGPLAT")) {
    uint32_t platform = ListCurrentUnit(sites);
    ScreenSet& s = g_screens;
    MissilePanelCommand(currentForm, static_cast<uint32_t>(this->id), &platform, control, controlId,
                        MissilePanelHosts{.refresh = &s.missileStockView,
                                          .sale = &s.unitSaleOffers[kDeployOfferSlot],
                                          .scrap = &s.unitScrapOffers[kDeployOfferSlot],
                                          .container = infoHost});
  }
}

void MissileDeployPanel::OnActivate(Control* control, int32_t) {
  if (control && control == sites) OnMissileListSelect(control, ListCurrentUnit(sites), platformList ? 0 : 1);
}

// -- on a platform --

namespace {

class MissilePlatformPanel : public Screen {
 public:
  MissilePlatformPanel() : Screen("POPUP_MISSILE_SS3c", FormLookups {.tags = kPlatformTags, .ids = {}}) {}
  void OnOpen() override {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* stock = StockOf(*this);
    carrier = stock ? stock->carrier : 0;
    ShowAuthorisation(*this, stock);
  }
  void Refresh() override {
    if (!currentForm) return;
    SetHidden(Tag(currentForm, "INSPECT"), true);
    SetHidden(Tag(currentForm, "UNLOADALL"), true);
    std::string name;
    bool facility = false;
    int32_t carrierClass = 0;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      const UnitRecord* on = carrier != 0 ? FindUnitById(g_world, carrier) : nullptr;
      if (!on) {
        SetHidden(statusHost, true);
        return;
      }
      facility = (on->unitFlags & kUnitFacility) != 0;
      name = facility ? LaunchFacilityName(g_world, *on) : UnitDisplayName(g_world, *on);
      carrierClass = on->classIndex;
    }
    SetControlText(Tag(currentForm, "PLATFORMNAM"), name.c_str());
    SetHidden(statusHost, false);
    if (facility) {
      g_screens.missileBaseStatus[2].Show(carrier, statusHost);
    } else {
      g_screens.militarySclass[kDeployClassRow].Show(carrierClass, statusHost);
      SetHidden(Tag(currentForm, "INSPECT"), false);
    }
  }
  void BindControls() override { statusHost = Tag(currentForm, "STATPARENT"); }
  void OnCommand(Control* control, int32_t) override {
    if (Is(control, "INSPECT")) {
      if (carrier != 0) g_screens.unitDetail.Popup(carrier, nullptr);
    } else if (Is(control, "AUTHBOX")) {
      PostAuthorisation(*this, control);
    }
  }

  uint32_t carrier = 0;           // the carrier at opening, 0 none
  Control* statusHost = nullptr;  // STATPARENT
};

}  // namespace

std::unique_ptr<Screen> MakeMissilePlatformPanel() { return std::make_unique<MissilePlatformPanel>(); }
// -- status --

namespace {

class MissileStatusPanel : public Screen {
 public:
  MissileStatusPanel() : Screen("POPUP_MISSILE_SS3e", FormLookups {.tags = kStatusPanelTags, .ids = {}}) {}
  void Refresh() override {
    if (!currentForm) return;
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* stock = StockOf(*this);
    SetControlFlag(Tag(currentForm, "MSTATUS"), kStateSelected, stock && (stock->unitFlags & kUnitGone) ? 1 : 0);
  }
};

}  // namespace

std::unique_ptr<Screen> MakeMissileStatusPanel() { return std::make_unique<MissileStatusPanel>(); }
