#pragma once
// The pop-ups the map opens on what lies on a hex: the hex information
// pop-up, the object, base, silo and launch-site pop-ups, and the units of
// the selected hex that the unit pop-up pages through. Units and facilities
// are handed on by id. Window thread; the walks over a hex's units hold the
// simulation lock.
#include <cstdint>
#include <vector>

struct ScreenSet;
struct UnitRecord;

bool MapPopupsOpen(ScreenSet& screens);
// Closes the map-side pop-ups and clears the hex list and the selection.
void CloseMapPopups(ScreenSet& screens);

// The selected hex's visible object when it belongs to the local player.
const UnitRecord* SelectedLocalObject();
// The pop-up of the selected object (kind 0: the selected hex's facility).
void OpenObjectPopup(ScreenSet& screens, int32_t kind);
// The base pop-up opens on the base, or on the local player's first base
// when none is given; the silo and launch-site pop-ups on theirs, or with
// the id they hold.
void OpenBasePopup(ScreenSet& screens, const UnitRecord* base);
void OpenSiloPopup(ScreenSet& screens, const UnitRecord* silo);
void OpenLaunchSitePopup(ScreenSet& screens, const UnitRecord* site);

// The ids of the units on the cell that the local player's side may see:
// none on a hex the side has not spotted under fog of war, none removed.
// Call under the simulation lock.
std::vector<intptr_t> FillHexUnitList(uint32_t cellIndex);
