#pragma once
// The military department's facilities page (MILITARY1_ss2): the local
// player's military facilities in a fixed order of groups, each row drawn
// by the status row (Military1_ss2c), with the condition of the facility on
// the selected hex (Military1_ss2b) docked in it. New facilities are
// ordered from the build order panel. Window thread.
#include <memory>
#include <cstdint>

#include "ui/screen.h"

class Control;
class ListBoxControl;
struct World;

inline constexpr const char* kMilitaryFacilityTags[] = {"FACILLIST", "PRODPARENT", "BASEDETAILS", "GRIDDEACT",
                                                        "GRIDPEND",  "DEPLOY"};
inline constexpr const char* kBaseConditionTags[] = {"CONDITION", "QUEUE", "CAPACITY"};
inline constexpr const char* kBaseStatusTags[] = {"BASENAME", "INDBMP", "OFFLINE", "HIDEPAR",
                                                  "QUEUE",    "CAPACITY", "STATUS", "STATUS2"};

class MilitaryFacilityScreen : public Screen {
 public:
  MilitaryFacilityScreen()
      : Screen("MILITARY1_ss2", FormLookups{.tags = kMilitaryFacilityTags, .ids = {}}) {}
  // The list starts unselected at the top; the dock closes back to its
  // depth.
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  // The new-facility control shows the build order panel; the rest are
  // actions on the selected facility.
  void OnCommand(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;

  ListBoxControl* facilList = nullptr;
  Control* prodParent = nullptr;
};

// The condition, queue and capacity of the facility on the selected hex.
std::unique_ptr<Screen> MakeBaseConditionPanel();

// One facility row: where it stands, its picture, queue and capacity, its
// status and progress; its id is the facility's unit id.
std::unique_ptr<Screen> MakeBaseStatusFill();

// The status word's index for the facility on the cell: FacilityStatus,
// but a hex without supply always shows the no-supply word.
int32_t FacilityRowStatus(const World& world, uint32_t cellIndex);
