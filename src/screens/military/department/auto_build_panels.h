#pragma once
// The steering of the region's automatic building: the focus panel
// (MILITARY1_ss1b) shows the two auto-build switches and the two focus
// sliders, and holds the status panel (MILITARY1_ss1b1), the check buttons
// of the missile kinds built. Both show the display copy of the local
// player's policy and change it only through their commands.
#include <memory>
#include <cstdint>

#include "ui/screen.h"

inline constexpr int32_t kAutoBuildMaskFirst = 2000;   // ids 2000-2004: bits 0-4 of the first mask
inline constexpr int32_t kAutoBuildMask2First = 2005;  // ids 2005-2008: bits 0-3 of the second
inline constexpr int32_t kAutoBuildMaskBits = 5;
inline constexpr int32_t kAutoBuildMask2Bits = 4;

inline constexpr int32_t kAutoBuildStatusIds[] = {2000, 2001, 2002, 2003, 2004, 2005, 2006, 2007, 2008};

class AutoBuildStatusPanel : public Screen {
 public:
  explicit AutoBuildStatusPanel(const char* formName = "MILITARY1_ss1b1")
      : Screen(formName, FormLookups{.tags = {}, .ids = kAutoBuildStatusIds}) {}
  // The check buttons follow the two masks.
  void Refresh() override;
  // A button posts both masks as the buttons now stand; id 0 nothing.
  void OnCommand(Control* control, int32_t id) override;
};

inline constexpr const char* kAutoBuildFocusTags[] = {"AUTOSTAT", "AUTOSTAT2", "FOCUSSLDR", "FOCUSSLDR2",
                                                      "HIDEAUTOB"};

std::unique_ptr<Screen> MakeAutoBuildFocusPanel();
