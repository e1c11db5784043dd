#pragma once
// The base pop-up (POPUP_BASE1): one of the local player's bases with its
// header (name, region, yearly cost, queue, capacity, staff, picture,
// delivery mark), its production, queue and stored-unit lists, its build
// list, its status and action panels and two class sheets; stepping
// through the player's bases and renaming them. The header fill, the lists'
// refresh and the status rows also serve the other facility pop-ups.
// Window thread; the fills read the world under the simulation lock.
#include <cstdint>

#include "screens/common/facilities/facility_popup.h"
#include "ui/screen.h"

class Control;
class ListBoxControl;
struct FacilityView;
struct World;

// The units of a base's three lists, by id.
struct BaseUnitLists {
  ScreenParameterList production, queue, stored;
};

// The header's money and staff: the staff's pay and the running cost of a
// year with one day's upkeep, and the staff's value.
struct BaseHeaderFigures {
  float annualCost = 0.0f;
  float staff = 0.0f;
};
// Call under the simulation lock; zeros without a facility.
BaseHeaderFigures BaseHeaderCosts(const World& world, const FacilityView& view);

// The header of the facility on the cell; with an actions parent the
// actions panel shows in it. Also makes the hex the current one.
void FillBaseHeader(Control* form, uint32_t cellIndex, Control* actionsParent);

// The rows of a base that cannot work (under construction, being pulled
// down, inactive), unselectable; the number of rows. Call under the
// simulation lock.
int32_t FormatBaseStatusText(const World& world, uint32_t cellIndex, ListBoxControl* list);
// The units being built at a usable base into the list (and their ids);
// for a base that cannot work its status rows instead, and -1. Call under
// the simulation lock.
int32_t FillBaseListRows(const World& world, uint32_t cellIndex, ListBoxControl* list, ScreenParameterList& units);

// The three lists of the base on the cell with their buttons, the status
// or construction panel in the status parent (when given) and the stepping
// buttons for the list.
void RefreshBaseProduction(Control* form, uint32_t cellIndex, Control* statusParent, BaseUnitLists& lists,
                           const ScreenParameterList* stepping);

class BasePopup : public FacilityPopup {
 public:
  BasePopup() : FacilityPopup("POPUP_BASE1", FormLookups{.tags = kTags, .ids = {}}) {}
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;
  int32_t Close(int32_t noReturn = 0) override;

  BaseUnitLists units;
  ListBoxControl* prodList = nullptr;
  ListBoxControl* queList = nullptr;
  ListBoxControl* storedList = nullptr;
  Control* subParent3 = nullptr;
  Control* subParent4 = nullptr;
  Control* parBase2 = nullptr;
  Control* parBase3 = nullptr;

 private:
  static constexpr const char* kTags[] = {"BASENAME", "REGION",   "ANNCOST",   "QUEUE",     "CAPACITY",
                                          "STAFF",    "BASEDESC", "BASEPIC",   "PRODLIST",  "QUELIST",
                                          "STOREDLIST", "HIDEBOX", "SUBPARENT3", "SUBPARENT4", "PARBASE2",
                                          "PARBASE3", "ALLOWAUTO", "RENBASEBUT", "RESUNITS", "CLOSEBUT"};
};
