#pragma once
// The launch page (OPS1_SS4b), three deep under the military-operations
// page, for one foreign region: its header, four launch modes, its capital
// as the target in the two modes that strike one, and the launch
// confirmation, which launches the loaded missiles that may strike the
// picked target (those aimed at it first), through the launch keypad until
// the region has given its code; the page says how many may, or why none
// may. The operation confirmation box (OPS1_SS4a5) that the hostility and
// intelligence pages show only closes the docked panels.
#include <cstdint>
#include <memory>

#include "ui/screen.h"

class Control;
class ListBoxControl;

inline constexpr const char* kLaunchPanelTags[] = {"REGION",  "FLAG",   "STATUS",  "CALPARENT", "TARGLIST2",
                                                   "HIDECONFIRM", "LAUNCH", "LAUNCHALL", "LOK",    "LCANCEL",
                                                   "CENTRE",  "DEL",    "HIDEBOX10", "GRIDL1",  "GRIDL2",
                                                   "REACH"};
inline constexpr int32_t kLaunchModeIds[] = {5, 6, 7, 8};
inline constexpr const char* kOperationConfirmTags[] = {"CONFIRM",   "CANCEL",   "STOP",    "EVENTPROG",
                                                        "EVENTSCHED", "MISSPROG", "MISSSCHED"};

class LaunchPanel : public Screen {
 public:
  LaunchPanel() : Screen("OPS1_SS4b", FormLookups{.tags = kLaunchPanelTags, .ids = kLaunchModeIds}) {}
  void BindControls() override;
  // Opens in mode 3 with the calendar showing.
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  // A picked target shows the buttons that act on it.
  void OnControlChange(Control* control, int32_t id) override;

  // How many loaded missiles may strike the picked target, or why none.
  void ShowLaunchLine();

  int32_t mode = 3;     // 0 to 3; 2 and 3 strike the capital
  int32_t pending = 0;  // the confirmation asked for: 0 none, 1 LAUNCH, 2 LAUNCHALL
  Control* calendarParent = nullptr;
  ListBoxControl* list = nullptr;
};

std::unique_ptr<Screen> MakeOperationProgressConfirm();
