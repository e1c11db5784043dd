#pragma once
// The plain frames of the side screens column (SIDEBAR1, SIDEBAR3) and the
// three bars of the bottom dock (BOTBAR1 and two BOTBAR2): each dock bar
// offers its PARENT2 control as the host under which docked panel forms
// hang, level 1 the main panel, level 2 its side panel, level 3 that
// panel's tabs.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

inline constexpr const char* kSideBar1Tags[] = {"TOP", "BOTTOM", "FULL"};

// SIDEBAR1 and SIDEBAR3: frames whose children are the forms hung in them.
class SideFrameBar : public Screen {
 public:
  // The slot of the side-screen host array the frame fills, or -1 for a
  // frame that stays where it is shown.
  SideFrameBar(const char* formName, int32_t hostSlot, FormLookups lookups = {})
      : Screen(formName, lookups), hostSlot_(hostSlot) {}
  // SIDEBAR1 draws its parts' outlines opaque; SIDEBAR3 takes the size of
  // its side-screen slot and shows itself there.
  void BindControls() override;
  // Lets go of the forms that other screens hung in the frame.
  void OnOpen() override;

 private:
  int32_t hostSlot_;
};

inline constexpr const char* kBottomBarTags[] = {"PARENT2"};

class BottomBar : public Screen {
 public:
  // level: 1 for BOTBAR1, 2 and 3 for the two BOTBAR2.
  BottomBar(const char* formName, int32_t level)
      : Screen(formName, FormLookups{.tags = kBottomBarTags, .ids = {}}), level_(level) {}
  // Shows the bar in its dock level; the first BOTBAR2 hides BGND2, the
  // second BGND1.
  void BindControls() override;

  int32_t Level() const { return level_; }
  Control* parent2 = nullptr;  // the host of the docked panel forms; null without a form

 private:
  int32_t level_;
};

// The host of dock level 1 to 3 (the bar's PARENT2), null for any other
// level or before the bars are bound.
Control* DockHost(ScreenSet& screens, int32_t level);
// Refreshes the screens the hosts of dock levels 2 and 3 hold, from level 2
// down to the first hidden host: a pop-up over them may have changed what
// they show. (RefreshDockedPanels of map_selection.h refreshes the forms
// docked in the bars instead.)
void RefreshHostedDockScreens(ScreenSet& screens);
// The bind bodies the docked panels share: their host becomes the first
// BOTBAR2's host (level 2) or the second's (level 3).
void DockInBotbar2(Screen& screen);
void DockInSecondBotbar2(Screen& screen);
// Hangs a department page's two side panels in the side screens column as
// the page opens, the top one first, and opens and fills each there.
void OpenSidePanels(Screen& top, Screen& bottom);
