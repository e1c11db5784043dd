#pragma once
// One unit's detail pop-up (POPUP_MILITARY1): its header, picture and
// figures, its groups, and the panels of the screen set shown in its hosts,
// chosen by the interface mode and by whose the unit is and what state it
// is in. It holds the unit by id and looks it up on every open and refresh;
// a unit gone from the unit ring closes it. Window thread; the walks hold
// the simulation lock.
#include <cstdint>

#include "ui/screen.h"

class Control;

inline constexpr const char* kUnitDetailHostTags[] = {"SUBPARENT2", "SUBPARENT3", "SUBPARENT4",
                                                      "SUBPARENT5", "SUBPARENT6", "PAR3C",
                                                      "UNITPIC",    "UNITNAME",   "RENUNITBUT",
                                                      "DESTROYED",  "GROUPHIDE",  "BUILDFILTER"};

class UnitDetailPopup : public Screen {
 public:
  UnitDetailPopup() : Screen("POPUP_MILITARY1", FormLookups{.tags = kUnitDetailHostTags, .ids = {}}) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  int32_t Close(int32_t noReturn = 0) override;
  void OnCommand(Control* control, int32_t id) override;
  void OnEndEdit(Control* control, int32_t id) override;

  uint32_t unit = 0;  // 0 while none is shown
  int32_t classIndex = 0;
  Control* infoHost = nullptr;      // SUBPARENT2: class sheet or unit information
  Control* statsHost = nullptr;     // SUBPARENT3
  Control* detailHost = nullptr;    // SUBPARENT4: the command panels' sub-panels
  Control* strengthHost = nullptr;  // SUBPARENT5
  Control* commandHost = nullptr;   // SUBPARENT6
  Control* extraHost = nullptr;     // PAR3C
};
