#include "units/carrier_launch.h"

// The carrier keeps its stock until launching is built.
int LaunchFromCarrier(World&, UnitRecord&, int) { return 0; }
