#pragma once
// The local player's sources of one product as list rows: what terrain and
// cities make of it, then every industrial facility that makes it, the
// strongest types first. The industry pop-up and the production
// department's facility page show them. Window thread; the walk holds the
// simulation lock.
#include <cstdint>

#include "screens/common/facilities/facility_list_services.h"
#include "screens/common/screen_types_fwd.h"

// The product a facility type makes: the first of its largest output
// weights; 0 for a type without weights or with none above 0.
int32_t ClassProduct(const UnitClassRecord& cls);

// Empties the list and fills it with the product's rows, each as large as
// the template's form and drawn by it (its first tag byte carries the
// product). The summary rows only with withSummaryRows and a capacity
// above 1.0. The counts (when given) are added to, not reset.
void BuildProductFacilityList(World& world, ListBoxControl* list, int32_t product, Screen& rowTemplate,
                              int32_t* workingCount, int32_t* totalCount, bool withSummaryRows);
