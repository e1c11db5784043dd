#pragma once
// The unit pop-ups the hotkeys and the map open: the unit list
// (POPUP_ULIST1), one unit's detail (POPUP_MILITARY1, opened with a unit id
// and the ids to page through), the missiles (POPUP_MISSILE1), and the base,
// depot, silo and launch-site pop-ups. Units travel as ids: the turn thread may
// free a unit while its pop-up is open. Their pages come with the military
// screens.
#include "screens/military/facilities/base_popup.h"
#include "screens/military/facilities/base_sheets.h"
#include "screens/military/facilities/facility_panels.h"
#include "screens/military/facilities/facility_popups.h"
#include "screens/military/silo/missile_panels.h"
#include "screens/military/silo/missile_popup.h"
#include "screens/military/silo/missile_stock_popup.h"
#include "screens/military/silo/silo_popup.h"
#include "screens/military/production/unit_build_popup.h"
#include "screens/military/units/unit_cargo_panels.h"
#include "screens/military/units/unit_detail_panels.h"
#include "screens/military/units/unit_detail_popup.h"
#include "screens/military/units/unit_list_popup.h"
#include "screens/military/units/unit_refit_panels.h"
#include "ui/screen.h"
