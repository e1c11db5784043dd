#pragma once
// The pop-ups of the objects on the map: a base, depot, silo or launch site
// (each stepping through all of the local player's objects of its kind),
// an industry, a research centre or a settlement, chosen by what stands on
// a hex; and stepping a pop-up to the next or previous object. Objects
// travel as ids. Window thread; the walks hold the simulation lock.
#include <cstdint>

#include "world/list_holder.h"

class Screen;
class Control;
struct ScreenParameterList;
struct HexCell;
struct ScreenSet;
struct UnitRecord;

// The objects the last object pop-up opened with.
ListHolder& ObjectPopupList();

// Each opens on the given object when it is one of the local player's of
// its kind, else on the first of them; with none nothing opens. The flag
// is the pop-up's (kept in its first word).
void OpenBasePopup(ScreenSet& screens, const UnitRecord* unit, int32_t flag = 0);
void OpenSiloPopup(ScreenSet& screens, const UnitRecord* unit, int32_t flag = 0);
void OpenLaunchSitePopup(ScreenSet& screens, const UnitRecord* unit, int32_t flag = 0);
void OpenDepotPopup(ScreenSet& screens, const UnitRecord* unit, int32_t flag = 0);

// The selected hex's visible object when it belongs to the local player.
const UnitRecord* SelectedLocalObject();
// The cell of the selected hex, null for none.
const HexCell* SelectedHexCell();
// The pop-up of the facility leading the cell's stack: industry,
// settlement, base, research centre, silo, launch site or depot.
void OpenObjectPopup(ScreenSet& screens, const HexCell* cell, int32_t flag);

// Steps the pop-up to the next object of its list (direction above 0) or
// the previous one, round the ring.
void SelectListItem(Screen& popup, int32_t direction);

// Shows the form's NEXTBUT and PREVBUT when the stepping list has an entry
// and hides them otherwise; 1 when it hid them.
int32_t UpdateNextPrevButtons(const ScreenParameterList* list, Control* form);
