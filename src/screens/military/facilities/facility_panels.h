#pragma once
// The small panels the facility pop-ups (base, silo, launch site, depot)
// show inside their own forms: the status light and condition, the
// construction progress, the upgrade and action confirmations, a plain
// information panel and the facility's action buttons. One instance of
// each serves every host; each is shown in the host's anchor with the
// facility's hex cell (the confirmation with its mode). Window thread; the
// fills read the world under the simulation lock.
#include <cstdint>
#include <memory>
#include <string>

#include "ui/screen.h"

struct UnitRecord;
struct World;

// The facility's states as the panels read them from its shown orders.
// Live: there, not removed, with a class.
bool FacilityLive(const UnitRecord* facility);
// Live and being pulled down.
bool FacilityBeingDemolished(const UnitRecord* facility);
// Live and under construction with its build slot held.
bool FacilityBuilding(const UnitRecord* facility);

// The days an upgrade from a class of current build days to one of target
// build days takes: the target's days, but no less than five more than the
// difference.
float UpgradeEtaDays(float targetDays, float currentDays);
// What the progress panel's DAYS shows for the facility on the cell: the
// days left of a construction going ahead, else its short status.
std::string FacilityProgressText(const World& world, uint32_t cellIndex);

std::unique_ptr<Screen> MakeBaseStatusPanel();

std::unique_ptr<Screen> MakeBaseProgressPanel();

// The upgrade of the selected hex's facility to its class's successor.
std::unique_ptr<Screen> MakeBaseUpgradePanel();

// YES or NO to a facility action on the selected hex; mode 2 shows the
// second question and tells the command so.
std::unique_ptr<Screen> MakeBaseConfirmPanel();

std::unique_ptr<Screen> MakeBaseInfoPanel();

class BaseActionsPanel : public Screen {
 public:
  BaseActionsPanel() : Screen("POPUP_BASE1e", FormLookups{.tags = kTags, .ids = {}}) {}
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;

  Control* parent2 = nullptr;  // where the confirmation and information panels show
  uint32_t cellIndex = 0;

 private:
  static constexpr const char* kTags[] = {"PARENT2"};
};

// Puts the host's own content back: opens and refreshes the screen whose
// form holds the control.
void RestoreHostContent(Control* host);
