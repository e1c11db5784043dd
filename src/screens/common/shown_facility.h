#pragma once
// The facility of a hex as the local player may see it.
#include "screens/common/screen_types_fwd.h"

// The hex's lead facility when it is live, and on the local player's hex or
// not hidden from the others; else none.
UnitRecord* ShownFacility(World& world, const HexCell& cell);
