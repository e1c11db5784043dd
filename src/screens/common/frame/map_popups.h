#pragma once
// The pop-ups the map opens on what lies on a hex: the hex information
// pop-up and the units of the selected hex that the unit pop-up pages
// through (the object pop-ups are in object_popups.h). Units and facilities
// are handed on by id. Window thread; the walks over a hex's units hold the
// simulation lock.
#include <cstdint>
#include <vector>

#include "screens/common/screen_types_fwd.h"

bool MapPopupsOpen(ScreenSet& screens);
// Closes the map-side pop-ups and clears the hex list and the selection.
void CloseMapPopups(ScreenSet& screens);

// The ids of the units on the cell that the local player's side may see:
// none on a hex the side has not spotted under fog of war, none removed.
// Call under the simulation lock.
std::vector<intptr_t> FillHexUnitList(uint32_t cellIndex);
