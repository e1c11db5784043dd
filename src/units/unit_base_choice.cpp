#include "units/unit_base_choice.h"

#include "records/unit_record.h"
#include "world/world.h"

void UnitChooseBase(World&, UnitRecord&) {}
