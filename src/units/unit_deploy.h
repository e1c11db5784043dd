#pragma once
// Deploying a unit from the reserve onto the map (command 274) and placing
// a unit on the map from the interface, a computer player or the editor.
// Deployment runs in two passes: the display pass (posting thread, under the
// command-log lock) reserves the unit's weight against its owner's force
// budget and shows it on its hex; the simulation pass (turn thread, under
// the simulation lock) commits or refuses it and always settles the
// reservation.
struct World;
struct UnitRecord;

// The most friendly units a deployment base takes, and the larger limit of
// units marked kUnit2LargeStack.
inline constexpr int kStackingLimit = 10;
inline constexpr int kLargeStackingLimit = 17;

// Both passes of command 274 (pass 0 display, 1 simulation). Each pass is
// one update of the unit's outstanding count.
void ScheduleUnit(World& world, UnitRecord& unit, int pass);

// In a game: posts command 274 for the unit's owner when the unit is
// complete and its weight is strictly below the free force budget, and
// returns 1; else 0. In the map editor: puts the unit on its hex at once,
// complete and active, and returns 1. In any other mode 0.
int PlaceUnitOnMap(World& world, UnitRecord& unit);
