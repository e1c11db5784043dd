#pragma once
// The build lists: the panels from which the player orders new units (the
// base pop-up's build list, the map's automatic production panel, the unit
// build pop-up's site panel, the military department's lists). Each host
// keeps its own BuildListState and calls these shared operations from its
// slots; what every list shares lives in g_buildListFilters. An order
// becomes command 272 per unit at a site, or one 275 for stock items; the
// delivery base of a category becomes 184. Window thread; walks of the
// world hold the simulation lock.
#include <cstdint>
#include <vector>

#include "ui/screen.h"

class Control;
class ListBoxControl;
struct HexCell;
struct UnitClassRecord;

// What one host's list has chosen.
struct BuildListState {
  const UnitClassRecord* selected = nullptr;
  int32_t category = -1;  // 0 land, 1 air, 2 sea; -1 (or 5) none
  int32_t quantity = 1;   // 1 to 9
  float strength = 1.0f;  // 0.5 to 1.5
};

inline constexpr int kMilitaryClasses = 26;
// The military class the stock lists show. A class with the stock flag is
// built into the region's stock, with no site.
inline constexpr int32_t kStockMilitaryClass = 8;
inline constexpr int32_t kLeastBuildQuantity = 1;
inline constexpr int32_t kMostBuildQuantity = 9;

// What every build list shares for the whole run.
struct BuildListFilters {
  // The military class each category's lists are narrowed to; -1 none.
  // Every list starts with all its classes: a start on one class would
  // leave a domain empty where the class list numbers that class in
  // another domain (class 7 is a land class, listed under air).
  int32_t categoryFilter[4] = {-1, -1, -1, -1};
  int32_t current = -1;                       // set by every refill
  int32_t sortColumn[kMilitaryClasses] = {};  // % 100 - 33 is the ordering statistic
  int32_t allSortColumn = 0;                  // the same for the list of all classes (ALL)
  int32_t rememberedClass[4] = {};            // the last class picked by category, 0 none
  bool weaponsFilter = false;                 // WMDFILTER
  bool filtered = false;                      // FILTERED: hidden classes left out
};
extern BuildListFilters g_buildListFilters;

// The classes the build list offers, as it was last filled: the unit
// pop-ups opened from a list step through them.
ScreenParameterList& BuildListClasses();

// Draws the control as a marker box: its fill at alpha 140, its text green.
void ShowAsMarkerBox(Control* c);

// The option word of commands 272 and 275.
inline constexpr uint32_t kBuildAutoDeploy = 1u << 0;
inline constexpr uint32_t kBuildContinuous = 1u << 1;
inline constexpr uint32_t kBuildAuthorised = 1u << 2;
// The options form's toggles as the word; a form without AUTHBOX takes the
// class's authorisation default.
uint32_t BuildOptionBits(Control* optionsForm, const UnitClassRecord& cls);

// The category a base facility's class builds for: 2 sea, 1 air, 0 land;
// -1 when it builds nothing.
int32_t BaseFacilityCategory(const UnitClassRecord* cls);

// The classes a list offers, best by the statistic first (ties in class
// order); with a list, its rows are made from them.
std::vector<int32_t> CollectBuildableClasses(ListBoxControl* list, int32_t category, int32_t levelLimit,
                                             int32_t player, int32_t filter, int32_t statistic,
                                             int32_t nonResearch, int32_t filtered, int32_t stockMode);

// stockMode: 0 an ordinary list, 1 the stock list, 3 the stock list with
// WMDFILTER on.
void OpenBuildList(Control* form, BuildListState& state, int32_t stockMode, const HexCell* base);
// AUTOBUT and CONTBUT pressed as the player's options for new orders have
// them.
void ShowBuildOptions(Control* form);
// A build list hung in the second bottom bar (the map's automatic
// production panel, the military department's class list): LIST5, the
// STATPARENT its class details show in, and one unit of full strength.
void BindDockedBuildList(Screen& panel, BuildListState& state, ListBoxControl*& list, Control*& statParent);
// The same list opening: no class chosen yet, the order options shown, the
// list opened as OpenBuildList does.
void OpenDockedBuildList(Control* form, BuildListState& state, int32_t stockMode, const HexCell* base);
void FillBuildList(Control* form, BuildListState& state, int32_t research, int32_t stockMode);
// value is the control's id, or for a LIST5 row click the row's class.
void OnBuildListCommand(Control* form, BuildListState& state, const HexCell* site, Control* control, int32_t value,
                        Screen* refresh, Screen* options);

// How a host's list change is shown.
struct BuildListChange {
  bool noBuild = false;
  int32_t listMode = 0;  // non-zero for the weapons lists
  Screen* details = nullptr;
  Control* detailsParent = nullptr;
  Screen* popup = nullptr;
  Control* extra = nullptr;
};
void OnBuildListChange(Control* control, Control* form, BuildListState& state, intptr_t value,
                       const BuildListChange& how);

// The base pop-up's build list (POPUP_BASE1f), shown in its SUBPARENT4.
class BaseBuildListPanel : public Screen {
 public:
  BaseBuildListPanel();
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;

  BuildListState state;
  ListBoxControl* list = nullptr;  // LIST5
  // The base whose list this is, by cell; and the pop-up hosting it.
  int32_t baseCell = -1;
  Screen* host = nullptr;
};
