#include "screens/main/panels/map_screen.h"

#include <cstdio>
#include <cstring>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/le_bytes.h"
#include "records/unit_record.h"
#include "screens/common/hex_cell_lookup.h"
#include "screens/common/region_row.h"
#include "screens/common/units/unit_list_fields.h"
#include "screens/docked_panels.h"
#include "screens/common/frame/command_bars.h"
#include "screens/main/panels/hex_closeup.h"
#include "screens/common/frame/main_layout.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/frame/map_selection.h"
#include "screens/common/frame/side_bars.h"
#include "screens/main/map/map_view.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/screen_reopen.h"
#include "ui/string_control.h"
#include "units/combat/fire_sight.h"
#include "world/unit_class.h"
#include "world/hex_extra.h"
#include "world/object_hex.h"
#include "world/scenario_settings.h"
#include "world/text/ui_options.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {


bool HexSelected() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const HexPosition& hex = g_world.gameState.currentHex;
  return hex.x != 0 || hex.y != 0;
}

void SetTextColour(Control* c, uint32_t colour) {
  if (c && (c->kind == kKindString || c->kind == kKindText)) static_cast<StringControl*>(c)->textColour = colour;
}

// Presses one of the tab buttons (without telling anyone); its id.
int32_t PressTab(Control* form, const char* tag) {
  Control* c = form ? FormFindControlByTag(form, tag) : nullptr;
  if (!c) return 0;
  SetControlFlag(c, kStateSelected, 1);
  return c->id;
}

}  // namespace

int32_t SelectedHexFacilityClass() {
  plat::CriticalSectionLock lock(g_simulationLock);
  return VisibleLeadClass(g_world, SelectedCell(g_world));
}

int32_t SelectedHexVisibleUnits() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  const HexCell* cell = SelectedCell(g_world);
  if (!cell || !cell->stack) return 0;
  const int32_t local = w.gameState.localPlayer;
  const HexPosition& hex = w.gameState.currentHex;
  if (local >= 0 && (w.scenario.head.gameFlags & kGameFlagFog) && !SideSpotsHex(w, PackHex(hex.x, hex.y), local))
    return 0;
  int32_t count = 0;
  for (const UnitRecord* head : cell->stack->chainB)
    for (const UnitRecord* unit = head; unit; unit = unit->nextInChainB)
      if (!(unit->unitFlags & kUnitGone) && (local < 0 || UnitVisibleToSide(w, *unit, local))) ++count;
  return count;
}

void ScreenSlotResetMapMode(ScreenSet& screens) {
  SetPanelDepth(kDockLevelSecond, 1, g_mapView);
  if (g_ui.panelDepth == 0) screens.cmdBar.dockedPanelMarker = 0;
  UpdatePopupButton(screens.mailBar);
}

Control* MapHeaderScreen::Find(const char* tag) const {
  return currentForm ? FormFindControlByTag(currentForm, tag) : nullptr;
}

void MapHeaderScreen::BindControls() {
  ownerRow = Find("FLAG");
  loyaltyRow = Find("LFLAG");
  nameText = Find("HEXNAME");
  mapPicture = Find("HEXPIC");
  parentBox = Find("PARENT1");
  if (mapPicture) mapPicture->flags |= kCtlOwnerDraw | kCtlAlwaysRedraw;
}

void MapHeaderScreen::OnDrawControl(Control* control, int32_t) {
  if (!control || control != mapPicture) return;
  DrawMapBase(g_mapView, ControlAbsoluteRect(control));
}

void MapHeaderScreen::RecordSelectedTab(int32_t ignored) {
  Control* f = currentForm;
  for (int32_t tab = kMapTabTerrain; tab >= kMapTabBuild; --tab) {
    if (tab == ignored) continue;
    Control* c = f && f->id == tab ? f : FormFindControlById(f, tab);
    if (c && c->Selected()) {
      selectedTab = tab;
      return;
    }
  }
}

bool MapHeaderScreen::FillHeader() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const HexCell* cell = SelectedCell(g_world);
  if (!cell) {
    for (Control* c : {nameText, ownerRow, Find("HIDEBOX")}) SetHidden(c, true);
    return false;
  }
  const World& w = g_world;
  const int32_t owner = CellOwner(cell->word);
  FillRegionRow(ownerRow, "Owned by ", owner);
  char name[kHexNameMax + 1] = {};
  const HexExtra* extra = cell->stack ? cell->stack->extra : nullptr;
  if (extra && extra->text) std::strncpy(name, extra->text, kHexNameMax);
  const bool named = name[0] != 0;
  if (!named) {
    const uint32_t index = w.gameState.currentHex.cellIndex;
    const uint32_t width = w.mapWidth > 0 ? static_cast<uint32_t>(w.mapWidth) : 1;
    std::snprintf(name, sizeof name, "X:%03u Y:%03u", index % width, index / width);
  }
  if (nameText) {
    nameText->SetText(name);
    SetTextColour(nameText, named ? kHexNameColour : kHexPositionColour);
  }
  const int32_t loyalTo = CellLoyalTo(cell->word);
  SetHidden(Find("HIDEBOX"), loyalTo == owner);
  if (loyalTo != owner) FillRegionRow(loyaltyRow, "Loyal to ", loyalTo);
  SetHidden(nameText, false);
  SetHidden(ownerRow, false);
  return true;
}

MapScreen::MapScreen() : MapHeaderScreen("MAP1", FormLookups{.tags = kMapScreenTags, .ids = kMapScreenIds}) {
  hostLink = &g_ui.bottomBoxes[kDockLevelMain];
}

void MapScreen::OnOpen() {
  RecordSelectedTab(autoTab);
  if (g_uiOptions.bmapautopanel2) ChooseAutoSidePanel(1);
  Screen& hexPopup = g_screens.hexInfoPopup;
  ReopenScreen(hexPopup);
}

void MapScreen::ChooseAutoSidePanel(int32_t reset) {
  if (reset) currentSidePanel = nullptr;
  if (g_mapPlacement.active) {
    facilityUpgrade.Show(g_mapPlacement.classIndex, nullptr);
    currentSidePanel = nullptr;
    return;
  }
  if (!HexSelected()) return;
  int32_t facility = 0, units = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    facility = SelectedHexFacilityClass();
    units = SelectedHexVisibleUnits();
  }
  enum { kFacility, kUnits, kTerrain } choice;
  if (selectedTab == kMapTabFacility && facility) {
    choice = kFacility;
  } else if (selectedTab == kMapTabTerrain) {
    choice = kTerrain;
  } else {
    choice = units > 0 ? kUnits : facility ? kFacility : kTerrain;
  }
  if (choice == kFacility) {
    autoTab = PressTab(currentForm, "UGINFOBUT");
    ShowFacilitySidePanel();
    return;
  }
  autoTab = PressTab(currentForm, choice == kUnits ? "UNITBUT" : "TERRAINBUT");
  Screen& target = choice == kUnits ? static_cast<Screen&>(this->units) : hexInfo;
  if (currentSidePanel == &target) {
    target.Refresh();
  } else {
    target.Show(kKeepScreenId, nullptr);
    currentSidePanel = &target;
  }
}

void MapScreen::ForgetGame() {
  currentSidePanel = nullptr;
  selectedTab = 0;
  autoTab = 0;
  for (int32_t tab = kMapTabBuild; tab <= kMapTabTerrain; ++tab)
    if (Control* c = currentForm ? FormFindControlById(currentForm, tab) : nullptr) SetControlFlag(c, kStateSelected, 0);
}

Screen* MapScreen::FacilityPanelForSelectedHex() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const HexCell* cell = SelectedCell(g_world);
  if (!cell) return nullptr;
  const World& w = g_world;
  const UnitRecord* lead = cell->stack ? cell->stack->lead : nullptr;
  const UnitClassRecord* cls = lead && IsUnitLive(*lead) ? ClassRecordAt(w, lead->classIndex) : nullptr;
  const bool ownBase = cls && listfields::OpensAsSite(*cls) &&
                       (cls->baseRoom > 0.0f || cls->baseSlots || cls->baseKind) &&
                       CellOwner(cell->word) == w.gameState.localPlayer;
  const UnitClassRecord* visible = ownBase ? ClassRecordAt(w, VisibleLeadClass(w, cell)) : nullptr;
  if (!visible) return &settlement;
  switch (visible->baseKind) {
    case kBaseKindResearchCentre: return &researchCentre;
    case kBaseKindSilo: return &g_screens.siloSidePanel;
    case kBaseKindLaunchSite: return &launchSite;
    default: return visible->baseSlots ? static_cast<Screen*>(&base) : &settlement;
  }
}

void MapScreen::ShowFacilitySidePanel() {
  if (g_mapPlacement.active) {
    facilityUpgrade.Show(g_mapPlacement.classIndex, nullptr);
    currentSidePanel = nullptr;
    return;
  }
  Screen* target = FacilityPanelForSelectedHex();
  if (!target) return;
  target->Show(kKeepScreenId, nullptr);
  currentSidePanel = target;
}

void MapScreen::FollowSelectedHex() {
  Screen* shown = currentSidePanel;
  if (!shown || g_mapPlacement.active || !shown->currentForm) return;
  if (shown->currentForm->parent != DockHost(g_screens, kDockLevelSecond)) return;
  const bool facilityPanel = shown == &settlement || shown == &base || shown == &researchCentre ||
                             shown == &launchSite || shown == &g_screens.siloSidePanel;
  if (!facilityPanel) return;
  Screen* wanted = FacilityPanelForSelectedHex();
  if (wanted && wanted != shown) ShowFacilitySidePanel();
}

void MapScreen::Refresh() {
  // Another hex chosen while a facility's panel is docked: the panel of
  // that hex's facility takes its place rather than being refilled.
  if (HexSelected()) FollowSelectedHex();
  RefreshDockedPanels(g_screens, 0);
  static constexpr const char* kButtons[] = {"UPGRADEBUT", "UNITBUT", "UGINFOBUT", "TERRAINBUT"};
  if (!HexSelected()) {
    for (const char* tag : kButtons) SetHidden(Find(tag), true);
    FillHeader();
    return;
  }
  int32_t facility = 0, units = 0;
  plat::CriticalSectionLock lock(g_simulationLock);
  facility = SelectedHexFacilityClass();
  units = SelectedHexVisibleUnits();
  SetHidden(Find("UPGRADEBUT"), false);
  SetHidden(Find("UGINFOBUT"), facility == 0);
  SetHidden(Find("UNITBUT"), units <= 0);
  SetHidden(Find("TERRAINBUT"), false);
  FillHeader();
}

void MapScreen::OnCommand(Control* control, int32_t id) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!control) return;
  if (id >= kMapTabBuild && id <= kMapTabTerrain) autoTab = 0;
  if ((control->flags & kCtlRadio) && !control->Selected()) {
    PopPopupsTo(g_ui, kDockLevelMain);
    return;
  }
  if (ControlTagMatches(control->tag, "UPGRADEBUT")) {
    buildList.Show(kKeepScreenId, nullptr);
  } else if (ControlTagMatches(control->tag, "UGINFOBUT")) {
    ShowFacilitySidePanel();
  } else if (ControlTagMatches(control->tag, "UNITBUT")) {
    units.Show(kKeepScreenId, nullptr);
  } else if (ControlTagMatches(control->tag, "TERRAINBUT")) {
    hexInfo.Show(kKeepScreenId, nullptr);
  } else if (ControlTagMatches(control->tag, "NAMEBUT")) {
    g_screens.nameHex->Popup(kKeepScreenId, nullptr);
    SetControlFlag(control, kStateSelected, 0);
  } else if (ControlTagMatches(control->tag, "HEXNAME")) {
    const HexPosition& hex = g_world.gameState.currentHex;
    CentreMapOnHex(g_mapView, PackHex(hex.x, hex.y));
  } else if (id >= kMapTabBuild && id <= kMapTabTerrain) {
    Show(kKeepScreenId, nullptr);
  }
}

void MapScreen::OnControlChange(Control* control, int32_t) {
  if (control && ControlTagMatches(control->tag, "UPGRADEBUT") && !control->Selected() && g_mapPlacement.active)
    CancelMapPlacement(g_screens);
}

namespace {

class PlainMapScreen : public MapHeaderScreen {
 public:
  PlainMapScreen() : MapHeaderScreen("MAP1", FormLookups{.tags = kPlainMapScreenTags, .ids = {}}) {
    hostLink = &g_ui.bottomBoxes[kDockLevelMain];
  }
  void OnOpen() override {
    RecordSelectedTab();
    auto* buttons = reinterpret_cast<Screen*>(id);
    if (buttons && id != kKeepScreenId) buttons->AttachForm(Find("BUTPARENT"));
  }
  void Refresh() override {
    plat::CriticalSectionLock lock(g_simulationLock);
    FillHeader();
  }
  void OnCommand(Control* control, int32_t id) override {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (!control) return;
    if (ControlTagMatches(control->tag, "HEXNAME")) {
      const HexPosition& hex = g_world.gameState.currentHex;
      CentreMapOnHex(g_mapView, PackHex(hex.x, hex.y));
    } else if (id >= kMapTabBuild && id <= kMapTabTerrain) {
      Show(kKeepScreenId, nullptr);
    }
  }
};

}  // namespace

std::unique_ptr<Screen> MakePlainMapScreen() { return std::make_unique<PlainMapScreen>(); }
