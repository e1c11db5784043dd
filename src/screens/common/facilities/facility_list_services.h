#pragma once
// What the facility lists of the production, military and domestic policy
// departments share: the row template of product sources, the commands
// and row changes of a facility list, the facility in hand, and the
// product's raw-material and use lists and short test. Window thread.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

// A source list's row values: below the last summary row the terrain's
// and the cities' output, above it facility ids.
inline constexpr int32_t kTerrainOutputRow = 1;
inline constexpr int32_t kCityOutputRow = 2;
inline constexpr int32_t kLastSummaryRow = 1000;
inline bool IsFacilityRow(int32_t value) { return value > kLastSummaryRow; }

inline constexpr const char* kFacilityFillTags[] = {"INDBMP", "BASENAME", "STATUS", "AMOUNT"};
// The control of a facility list that starts a new facility instead.
inline constexpr int32_t kNewFacilityControlId = 12;

// Draws one row of a product's sources (POPUP_INDUSTRYFILL,
// Product1_ss7fill): its id is the row's value (terrain, cities or a
// facility's id), the host row's first tag byte the product.
class FacilityTypeInfoFill : public Screen {
 public:
  explicit FacilityTypeInfoFill(const char* form)
      : Screen(form, FormLookups{.tags = kFacilityFillTags, .ids = {}}) {}
  void OnOpen() override;
};

// The facility whose row was chosen last in a facility list, by id; null
// when none is or it is gone.
UnitRecord* CurrentFacility(ScreenSet& screens, const World& world);
// The list's chosen facility becomes the one in hand (0: none).
void SetCurrentFacility(ScreenSet& screens, const World& world, int32_t unitId);
// The cell index of the unit's hex, or none (kNoCellIndex).
uint32_t UnitCellIndex(const World& world, const UnitRecord* unit);

// A command of a facility list's form: the new-facility control empties
// the selection and the facility in hand and shows the detail screen (the
// build order panel) with detailId, the kind of site it offers (-1 any);
// DEPLOY shows the region's stock weapons (with a chosen silo's own beside
// them, its hex selected on the map); any other control is a facility
// action on the selected row's facility.
void FacilityListCommand(ScreenSet& screens, Control* form, Control* control, int32_t id, ListBoxControl* list,
                         Screen* detail, int32_t detailId);
// A facility list's selection moved to the row of the unit id: it is the
// facility in hand, the form's action buttons follow it (DEPLOY for a silo
// or launch site) and the condition screen (when given) shows it.
void FacilityListRow(ScreenSet& screens, Control* form, int32_t unitId, Screen* condition);

// The products a refined product is made from, with the amount per unit;
// rows carry the product + 1. Raw products list none.
void DescribeProductUse(const World& world, ListBoxControl* list, int32_t product);
// The refined products made from the product, the same way.
void DescribeProductConsumers(const World& world, ListBoxControl* list, int32_t product);
// Puts the product's supply, demand and stock on the form's PRODSLDR,
// DEMANDSLDR and STOCKSLDR (those it has); whether the product is short: a
// day's demand at least a day's supply with the stock and one more.
bool UpdateProductionSliders(const World& world, Control* form, int32_t product);

// What a list shows before it is filled again: the selected row, the first
// row in view and the scroller; restored after the rows are laid out (a
// row gone leaves none selected).
struct SavedListView {
  int32_t selectedId = 0;
  int32_t scrollOffset = 0;
  int32_t scrollerPosition = 0;
};
SavedListView SaveListView(const ListBoxControl* list);
void RestoreListView(ListBoxControl* list, const SavedListView& view);
// No selection, nothing remembered, scrolled to the top.
void ResetListView(ListBoxControl* list);

// A facility row activated: the pop-up of what stands on the unit's hex
// (columns wrapped onto the map: negative ones count from its right edge).
void OpenFacilityRowPopup(ScreenSet& screens, int32_t unitId);
// The rows of a facility walk's result, one per facility, drawn by the
// status row template, in the walk's order.
void AddFacilityRows(ListBoxControl* list, ListHolder& facilities, Screen& rowTemplate);
