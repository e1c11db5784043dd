#pragma once
// The production lists a base (and a silo, a stock, the military
// department's panels) shows: PRODLIST, the units being built; QUELIST, the
// units waiting in the build queue; STOREDLIST, the units held in store.
// Each row's id is its unit's id. The buttons under the lists, the change of
// a list's selection and the units placed from a list change the game only
// by posting unit commands. Window thread; walks of the world hold the
// simulation lock.
#include <cstdint>

#include "screens/common/production/production_list_links.h"
#include "screens/common/units/build_lists.h"
#include "screens/military/inventory/unit_offer_panel.h"
#include "ui/screen.h"

class Control;
class ListBoxControl;
struct HexCell;
struct UnitRecord;
struct World;

// The map's production panel: PRODLIST (the units being built, into a) and
// QUELIST (those queued, into b) of the base on the cell; with no cell
// (kProductionNoBase) the local player's everywhere.
void RefreshBaseProduction(Control* form, const HexCell* cell, int32_t mode, ProductionListState* a,
                           ProductionListState* b);

// The panel that prices the store's units before they are sold or scrapped:
// shown for the store's current unit, it acts on the rows of the store it
// was opened from.
using StoreConfirmPanel = UnitOfferPanel;

// What a host hands the list buttons beside its form.
struct ProductionListHosts {
  Screen* buildList = nullptr;
  int32_t* tabIndex = nullptr;
  // SELL and SCRAPU show the store's current unit in the class sheet.
  Screen* classSheet = nullptr;
  Control* classSheetParent = nullptr;
  StoreConfirmPanel* sell = nullptr;
  StoreConfirmPanel* scrap = nullptr;
  StoreConfirmPanel* scrapAll = nullptr;
  Control* confirmParent = nullptr;
};

// The unit of the list's current row, 0 for none.
uint32_t ListCurrentUnit(Control* list);
// One of a stock pop-up's lists (PRODLIST, QUELIST or STOREDLIST) from the
// owner's form, its rows plain choices rather than radio buttons; null when
// the form has none.
ListBoxControl* MakeStockList(Screen& owner, const char* tag);
// A row of the list that says something ("Idle", "Inactive") rather than
// standing for a unit: it cannot be picked. Does nothing without a list.
void AddListNote(ListBoxControl* list, const char* text);

void OnProductionListCommand(Control* form, Control* control, int32_t value, const ProductionListHosts& hosts = {});
// unit: the unit now current in the changed list, 0 for none; exclusive
// clears the other lists of the form.
void OnProductionListChange(Control* form, Control* control, uint32_t unit, int32_t exclusive,
                            Screen* classSheet = nullptr, Screen* platform = nullptr);
// A row of PRODLIST, QUELIST or STOREDLIST opens the unit's detail pop-up
// (the missile stock pop-up of that unit in kProductionSiloBase mode),
// stepping through that list's units (a's or b's when they hold its rows);
// a row of AVAILLIST opens the unit build pop-up for its class, stepping
// through the anchor's classes.
void OnProductionListEvent(Control* form, Control* control, int32_t id, ProductionListState* a, ProductionListState* b,
                           int32_t mode, const ScreenParameterList* anchor = nullptr);
// The queue buttons of one unit (CANCEL, REMBUT, REQUEBUT, UNHOLD, HOLD).
void OnQueueButton(Control* control, uint32_t unit, Control* form);
// Places the list's units (every row with all, else the selected ones) on
// the map, the ready ones first.
void DeployUnitsFromList(ListBoxControl* list, bool all);
// Deploy or load orders for the list's units; carrier 0 for none,
// authorisation -1 to leave it.
void PostBaseUnitOrders(ListBoxControl* list, bool all, uint32_t carrier, int32_t authorisation, bool load,
                        bool fill);
// Puts the operations the map's base production panel borrows into
// g_productionListLinks.
void InstallProductionListLinks();
