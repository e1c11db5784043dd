#include "units/unit_react.h"

// The retreat and the return to base come with the base choice; until then a
// disrupted unit stands its ground.
int UnitReactToAttack(World&, UnitRecord&, uint32_t) { return 0; }
