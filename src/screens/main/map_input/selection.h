#pragma once
// Choosing units on the map with a click or the rubber band, the map
// selection words, and opening the selection's orders (the selection list
// and its flags are in screens/common/frame/unit_selection.h). Window thread.
#include <cstdint>
#include <vector>

#include "screens/common/frame/unit_selection.h"
#include "screens/common/screen_types_fwd.h"
#include "world/list_holder.h"

// Records the kind and the first route pair from the selected hex, when
// there is one, in the map's one set of selection words (g_mapRoute).
void SetMapSelection(World& world, int32_t kind);

// The rubber band's top-left and bottom-right hexes (packed; off the map
// (0, 0)).
void BandToHexes(uint32_t& first, uint32_t& second);

// Selects the visible units of the clicked hex, or of every hex of the
// rubber band while one is drawn: with one candidate and bautoselsingle, or
// with add, they become the selection and their orders are shown; else the
// stack list opens at (x, y). add -1: from Shift and the options
// bautoselstack and bautoselrband. A click on no hex does nothing.
void SelectUnitsAtClick(ScreenSet& screens, int32_t x, int32_t y, int32_t add);

// The orders panel, and beside it the unit panel listing the selection.
void OpenSelectionOrderPanels(ScreenSet& screens);
// Opens the orders panel for the selection (when it holds a unit).
void ShowSelectionOrders(ScreenSet& screens);

// Makes the local player's visible units on the hex (packed) the selection
// and opens their orders; a hex with none of them leaves all as it was.
void SelectOwnUnitsAtHex(ScreenSet& screens, uint32_t packed);

// Makes the unit (by id) the only selected unit, marks it and opens the
// orders panel for it; a unit no longer in the ring leaves all as it was.
void DrawUnitOrderRow(ScreenSet& screens, int32_t unitId);
