#pragma once
// The unit tool's list of the units on the selected hex (MAPEDITORB_SS6b):
// the units the brush placed there, a read-only summary of the selected one
// and the buttons that delete it or every listed unit. Deleted units leave
// every list of the screens and an open pop-up of theirs closes. Window
// thread; walks of the world hold the simulation lock.
#include <cstdint>
#include <memory>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

inline constexpr const char* kHexUnitListTags[] = {"LIST1",   "NAME", "CLASS",    "EFFICIENCY", "STRSLDR",
                                                   "ENTSLDR", "FLAG", "CLEARBUT", "CLEARSTACK"};
// The panel's id that lists the map's selection when it holds units.
inline constexpr intptr_t kHexUnitsFromSelection = 2;

// Takes the unit off the map and frees it, after the screens' lists (the
// selection, the shared lists, the hex stack list) forget it and a unit
// pop-up showing it closes.
void DeleteEditorUnit(World& world, UnitRecord* unit);

// The screen's id is the tool page (0 to 2).
std::unique_ptr<Screen> MakeEditorHexUnitListPanel();
