#include "screens/military/facilities/facility_panels.h"

#include <algorithm>
#include <cstdio>

#include "app/duration_text.h"
#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "screens/common/facilities/site_figures.h"
#include "screens/common/facilities/facility_status.h"
#include "screens/common/facilities/facility_actions.h"
#include "screens/common/facilities/facility_figures.h"
#include "screens/common/frame/map_click.h"
#include "screens/common/units/hex_unit_actions.h"
#include "screens/screen_set.h"
#include "sim/facility_command_args.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "units/facilities/facility_build.h"
#include "world/object_hex.h"
#include "world/record_helpers.h"
#include "world/text/text_lists.h"
#include "world/unit_class.h"
#include "world/world.h"

namespace {

// An upgrade never takes less than this over the difference of the build
// times.
constexpr float kLeastUpgradeDays = 5.0f;
constexpr int32_t kConfirmSecond = 2;

const UnitRecord* FacilityAt(const World& w, uint32_t cellIndex) {
  if (cellIndex >= w.cells.size()) return nullptr;
  const UnitRecord* lead = GetActiveObject(&w.cells[cellIndex], false);
  return FacilityLive(lead) ? lead : nullptr;
}

uint32_t ScreenCell(const Screen& s) { return static_cast<uint32_t>(s.id); }

}  // namespace

bool FacilityLive(const UnitRecord* facility) { return facility && IsUnitLive(*facility); }

bool FacilityBeingDemolished(const UnitRecord* facility) {
  return FacilityLive(facility) && (facility->ordersShown[kStateFlags] & kStateModeC);
}

bool FacilityBuilding(const UnitRecord* facility) {
  return FacilityLive(facility) && FacilityUnderConstruction(*facility);
}

float UpgradeEtaDays(float targetDays, float currentDays) {
  return std::min(targetDays, std::max(kLeastUpgradeDays, targetDays - currentDays + kLeastUpgradeDays));
}

std::string FacilityProgressText(const World& world, uint32_t cellIndex) {
  const int32_t status = FacilityStatus(world, cellIndex);
  const UnitRecord* lead = FacilityAt(world, cellIndex);
  if (status != kFacilityBuilding || !lead) return TextListText(kListUgstatshort, status);
  const HexCell& cell = world.cells[cellIndex];
  const float rate = SupplyLevelFactor(HexLevelByte(world, cell), HexSupplierRate(world, cell));
  const float days = rate > 0.0f ? lead->buildWork / rate : 0.0f;
  char text[16];
  std::snprintf(text, sizeof text, "%d", static_cast<int32_t>(days + 0.99f));
  return text;
}

void RestoreHostContent(Control* host) {
  Screen* owner = host ? host->owner : nullptr;
  if (!owner) return;
  owner->OnOpen();
  owner->Refresh();
}

namespace {

class BaseStatusPanel : public Screen {
 public:
  BaseStatusPanel() : Screen("POPUP_BASE1a", FormLookups{.tags = kTags, .ids = {}}) {}
  void Refresh() override {
    if (!currentForm) return;
    bool online = false;
    float strength = 0.0f;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      if (const UnitRecord* f = FacilityAt(g_world, ScreenCell(*this))) {
        online = FacilityOnLine(*f);
        strength = f->strength;
      }
    }
    // The light names the state it shows: lit "Online", or "Offline" in
    // its place, never the one word over a facility in the other state.
    Control* on = Tag(*this, "STATUS");
    SetControlFlag(on, kStateSelected, online ? 1 : 0);
    SetHidden(on, !online);
    SetHidden(Tag(*this, "STATUSOFF"), online);
    char text[32];
    std::snprintf(text, sizeof text, "%3.0f %%", static_cast<double>(strength * 100.0f));
    ControlSetText(Tag(*this, "CONDITION"), text);
  }

 private:
  static constexpr const char* kTags[] = {"STATUS", "STATUSOFF", "CONDITION"};
};

class BaseProgressPanel : public Screen {
 public:
  BaseProgressPanel() : Screen("POPUP_BASE1b", FormLookups{.tags = kTags, .ids = {}}) {}
  void Refresh() override {
    if (!currentForm) return;
    float target = 0.0f, strength = 0.0f;
    std::string days;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      if (const UnitRecord* f = FacilityAt(g_world, ScreenCell(*this))) {
        target = f->targetStrength;
        strength = f->strength;
      }
      days = FacilityProgressText(g_world, ScreenCell(*this));
    }
    if (auto* bar = dynamic_cast<SlideBarControl*>(Tag(*this, "PROGBAR"))) {
      SliderSetMaxFloat(bar, target);
      SliderSetValueFloat(bar, strength);
    }
    ControlSetText(Tag(*this, "DAYS"), days.c_str());
  }

 private:
  static constexpr const char* kTags[] = {"PROGBAR", "DAYS"};
};

class BaseUpgradePanel : public Screen {
 public:
  BaseUpgradePanel() : Screen("POPUP_BASE1a1", FormLookups{.tags = kTags, .ids = {}}) {}
  void Refresh() override {
    if (!currentForm) return;
    float eta = -1.0f;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      const World& w = g_world;
      const FacilityView v = ViewSelectedFacility(w);
      const UnitClassRecord* current = v.visibleClass > 0 ? ClassRecordAt(w, v.visibleClass) : nullptr;
      const UnitClassRecord* target = current && current->successor > 0 ? ClassRecordAt(w, current->successor) : nullptr;
      if (target) eta = UpgradeEtaDays(target->buildWorkPerPoint, current->buildWorkPerPoint);
    }
    ControlSetText(Tag(*this, "ETA"), eta < 0.0f ? "--" : FormatDuration(eta).c_str());
    SetHidden(Tag(*this, "OKBUT"), eta < 0.0f);
  }
  void OnCommand(Control* control, int32_t) override {
    if (Is(control, "CANBUT")) {
      RestoreHostContent(host);
      return;
    }
    if (!Is(control, "OKBUT")) return;
    uint32_t packed = 0, target = 0;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      const World& w = g_world;
      const FacilityView v = ViewSelectedFacility(w);
      const UnitClassRecord* current = v.visibleClass > 0 ? ClassRecordAt(w, v.visibleClass) : nullptr;
      if (!v.cell || !current || current->successor <= 0) return;
      packed = v.packed;
      target = static_cast<uint32_t>(current->successor);
    }
    PostArgs(kCmdConvertFacility, HexConvertArgs{.hex = packed, .classIndex = target});
    CloseAllPopups(g_ui, 0);
  }

 private:
  static constexpr const char* kTags[] = {"ETA", "OKBUT", "CANBUT"};
};

class BaseConfirmPanel : public Screen {
 public:
  BaseConfirmPanel() : Screen("POPUP_BASE1c", FormLookups{.tags = kTags, .ids = {}}) {}
  void BindControls() override { hostLink = &g_screens.baseActions.parent2; }
  void Refresh() override {
    const bool second = id == kConfirmSecond;
    Control* confirm = Tag(*this, "CONFIRM");
    SetControlFlag(confirm, kStateSelected, id == 1 ? 1 : 0);
    SetHidden(confirm, second);
    SetHidden(Tag(*this, "CONFIRM2"), !second);
  }
  void OnCommand(Control* control, int32_t) override {
    if (Is(control, "NO")) {
      RestoreHostContent(host);
      return;
    }
    if (!Is(control, "YES")) return;
    const HexCell* cell = nullptr;
    uint32_t packed = 0;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      const FacilityView v = ViewSelectedFacility(g_world);
      cell = v.cell;
      packed = v.packed;
    }
    if (!cell) return;
    ApplyToUnitsAtHex(g_screens, cell);
    PostArgs(kCmdHexStack291, HexValueArgs{.hex = packed, .value = id == kConfirmSecond ? 1u : 0u});
    CloseAllPopups(g_ui, 0);
  }

 private:
  static constexpr const char* kTags[] = {"CONFIRM", "CONFIRM2", "YES", "NO"};
};

class BaseInfoPanel : public Screen {
 public:
  BaseInfoPanel() : Screen("POPUP_BASE1d") {}
  void BindControls() override { hostLink = &g_screens.baseActions.parent2; }
};

}  // namespace

std::unique_ptr<Screen> MakeBaseStatusPanel() { return std::make_unique<BaseStatusPanel>(); }
std::unique_ptr<Screen> MakeBaseProgressPanel() { return std::make_unique<BaseProgressPanel>(); }
std::unique_ptr<Screen> MakeBaseUpgradePanel() { return std::make_unique<BaseUpgradePanel>(); }
std::unique_ptr<Screen> MakeBaseConfirmPanel() { return std::make_unique<BaseConfirmPanel>(); }

std::unique_ptr<Screen> MakeBaseInfoPanel() { return std::make_unique<BaseInfoPanel>(); }

void BaseActionsPanel::BindControls() { parent2 = Tag(*this, "PARENT2"); }

// A base that gathers new units shows its gathering point (the rally
// panel); any other facility shows the information panel.
void BaseActionsPanel::OnOpen() {
  cellIndex = static_cast<uint32_t>(id);
  if (!parent2) return;
  // A base that gathers its new units somewhere shows where: the facility
  // target panel, 0 without a point, 1 with one, 2 while the map picks one.
  bool gathers = false, pointSet = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& w = g_world;
    const UnitRecord* lead = cellIndex < w.cells.size() ? GetActiveObject(&w.cells[cellIndex], false) : nullptr;
    const UnitClassRecord* cls = FacilityLive(lead) ? ClassRecordAt(w, lead->classIndex) : nullptr;
    gathers = cls && IsRallyBaseClass(*cls);
    pointSet = gathers && lead->ordersShown[kDestination] != 0;
  }
  if (!gathers) {
    g_screens.baseInfo->Show(0, parent2);
    return;
  }
  const intptr_t mode = g_screens.mapClickMode == kClickObjectDestination ? 2 : pointSet ? 1 : 0;
  g_screens.mapScreen.rallyPointPanel.Show(mode, parent2);
}

void BaseActionsPanel::Refresh() {
  UpdateFacilityActionButtons(currentForm, cellIndex);
  // The target panel measures from the current hex, which the pop-up makes
  // this one only after opening the actions.
  RallyPointPanel& target = g_screens.mapScreen.rallyPointPanel;
  if (parent2 && target.host == parent2 && target.currentForm) target.Refresh();
}

void BaseActionsPanel::OnCommand(Control* control, int32_t controlId) {
  if (!control) return;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    World& w = g_world;
    if (cellIndex < w.cells.size() && w.mapWidth > 0)
      SetObjectHex(w, static_cast<int32_t>(cellIndex % static_cast<uint32_t>(w.mapWidth)),
                   static_cast<int32_t>(cellIndex / static_cast<uint32_t>(w.mapWidth)), w.gameState.currentHex);
  }
  OnFacilityActionCommand(currentForm, control, controlId, cellIndex, parent2, g_screens.baseConfirm.get(),
                          g_screens.baseUpgrade.get(), nullptr);
  Screen* hostScreen = host ? host->owner : nullptr;
  if (hostScreen) hostScreen->Refresh();
}
