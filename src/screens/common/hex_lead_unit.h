#pragma once
// The hex's lead unit as the panels, the map pop-ups and the combat odds
// judge it, one rule each.
#include "screens/common/screen_types_fwd.h"

// Present: it has a class and is not gone.
const UnitRecord* PresentUnit(const HexCell& cell);
// Known to the local player: present, and on one of the local player's hexes
// or not hidden from the others.
const UnitRecord* ShownUnit(const World& world, const HexCell& cell);
// Open: present and hidden from no one, whoever holds the hex.
const UnitRecord* OpenUnit(const HexCell& cell);
// Visible: open and not in reserve; only such a facility lends its cover.
const UnitRecord* VisibleUnit(const HexCell& cell);

// A provisional unit is hidden from the other players.
bool HiddenFromOthers(const UnitRecord& unit);
