#pragma once
// What the hex menu asks of the military screens for the units on a hex.
// Window thread.

struct HexCell;
struct ScreenSet;

// The resupply of the local player's units on the hex, posted as their own
// commands. Its rule comes with the military screens; until then it posts
// nothing.
void ApplyToUnitsAtHex(ScreenSet& screens, const HexCell* cell);
