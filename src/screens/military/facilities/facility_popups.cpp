#include "screens/military/facilities/facility_popups.h"

#include <cstring>
#include <string>
#include <vector>

#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "screens/common/facilities/facility_actions.h"
#include "screens/common/facilities/facility_figures.h"
#include "screens/common/facilities/satellite_figures.h"
#include "screens/common/name_hex_popup.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/military/facilities/base_popup.h"
#include "screens/military/facilities/facility_panels.h"
#include "screens/screen_set.h"
#include "sim/facility_command_args.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "sim/unit_command_args.h"
#include "ui/control.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/edit_control.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "world/hex_extra.h"
#include "world/object_hex.h"
#include "world/record_helpers.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

// The facility is still what the pop-up opened on, and a base.
bool StillShown(uint32_t cellIndex, int32_t shownClass, bool& building) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  if (cellIndex >= w.cells.size() || VisibleLeadClass(w, &w.cells[cellIndex]) != shownClass) return false;
  const UnitClassRecord* cls = shownClass > 0 ? ClassRecordAt(w, shownClass) : nullptr;
  building = FacilityBuilding(GetActiveObject(&w.cells[cellIndex], false));
  return cls && (cls->flags & kClassSettlement);
}

bool Stepped(Screen& popup, Control* control, bool second) {
  const bool next = Is(control, "NEXTBUT") || (second && Is(control, "NEXTBUT2"));
  const bool previous = Is(control, "PREVBUT") || (second && Is(control, "PREVBUT2"));
  if (next || previous) SelectListItem(popup, next ? 1 : -1);
  return next || previous;
}

}  // namespace

void LaunchSitePopup::BindControls() {
  hideBox = Tag(currentForm, "HIDEBOX");
  subParent3 = Tag(currentForm, "SUBPARENT3");
  satParent2 = Tag(currentForm, "SATPARENT2");
}

void LaunchSitePopup::OnOpen() {
  if (!OpenStepping()) return;
  FillBaseHeader(currentForm, cellIndex, subParent3);
  // The region's satellites by type, with their build orders.
  if (satParent2) g_screens.mapScreen.satelliteBuild.Show(0, satParent2);
}

void LaunchSitePopup::Refresh() {
  bool building = false;
  if (!currentForm || !StillShown(cellIndex, shownClass, building)) return;
  UpdateNextPrevButtons(parameterList, currentForm);
  ShowStatusBox(building);
  // The launch box follows the type chosen here, not a pressed button.
  int32_t shown = satelliteType;
  RefreshSatelliteLaunch(currentForm, shown);
  FillSatelliteCoverage(currentForm);
}

void LaunchSitePopup::OnCommand(Control* control, int32_t controlId) {
  if (!control || Stepped(*this, control, false)) return;
  if (Is(control, "RENBASEBUT")) {
    StartBaseRename(currentForm);
  } else if (Is(control, "LAUNCH")) {
    // The launch names the satellite type; the policy word keeps one bit per
    // type.
    PostArgs(kCmdLaunchBit, LaunchBitArgs{.bit = static_cast<uint32_t>(satelliteType)});
    Refresh();
  } else if (controlId >= kSatelliteChoiceId && controlId < kSatelliteChoiceId + kSatelliteTypes) {
    satelliteType = controlId - kSatelliteChoiceId;
    Refresh();
  } else if (Is(control, "CLOSEBUT")) {
    Close();
  }
}


namespace {

class DepotPopup : public FacilityPopup {
 public:
  DepotPopup() : FacilityPopup("POPUP_DEPOT1", FormLookups{.tags = kTags, .ids = {}}) {}
  void OnOpen() override {
    SetHidden(Tag(currentForm, "NEXTBUT2"), true);
    SetHidden(Tag(currentForm, "PREVBUT2"), true);
    if (!OpenStepping()) return;
    FillBaseHeader(currentForm, cellIndex, nullptr);
    if (parent2) g_screens.baseInfo->Show(0, parent2);
    if (parBase2) g_screens.baseClassSheet->Show(id, parBase2);
    if (parBase3) g_screens.baseAttackSheet->Show(id, parBase3);
  }
  void Refresh() override {
    bool building = false;
    if (!currentForm || !StillShown(cellIndex, shownClass, building)) return;
    UpdateNextPrevButtons(parameterList, currentForm);
    ShowStatusBox(building);
    UpdateFacilityActionButtons(currentForm, cellIndex);
  }
  void BindControls() override {
    hideBox = Tag(currentForm, "HIDEBOX");
    parent2 = Tag(currentForm, "PARENT2");
    parBase2 = Tag(currentForm, "PARBASE2");
    parBase3 = Tag(currentForm, "PARBASE3");
  }
  void OnCommand(Control* control, int32_t controlId) override {
    if (!control || Stepped(*this, control, true)) return;
    if (Is(control, "RENBASEBUT")) {
      StartBaseRename(currentForm);
    } else if (Is(control, "CLOSEBUT")) {
      Close();
    } else {
      OnFacilityActionCommand(currentForm, control, controlId, cellIndex, parent2, g_screens.baseConfirm.get(),
                              g_screens.baseUpgrade.get(), nullptr);
    }
  }

  Control* parent2 = nullptr;
  Control* parBase2 = nullptr;
  Control* parBase3 = nullptr;

 private:
  static constexpr const char* kTags[] = {"BASENAME", "REGION",   "HIDEBOX",    "PARENT2", "PARBASE2",
                                          "PARBASE3", "RENBASEBUT", "CLOSEBUT"};
};

}  // namespace

std::unique_ptr<Screen> MakeDepotPopup() { return std::make_unique<DepotPopup>(); }
