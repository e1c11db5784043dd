#include "screens/military/unit_sheets.h"

void FillUnitClassSheet(Control*, const UnitClassRecord&, int32_t, int32_t) {}

void FillUnitPerformance(const UnitClassRecord*, const UnitRecord*) {}
