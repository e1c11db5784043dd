#include "screens/military/hex_unit_actions.h"

void ApplyToUnitsAtHex(ScreenSet&, const HexCell*) {}
