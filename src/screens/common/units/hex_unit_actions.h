#pragma once
// What the hex menu and the facility panels ask for the units on a hex.
// Window thread.

struct HexCell;
struct ScreenSet;

// Places the local player's units on the hex on the map (each posts its own
// deployment), the ones ready to deploy first.
void ApplyToUnitsAtHex(ScreenSet& screens, const HexCell* cell);
