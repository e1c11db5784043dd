#pragma once
// The map filter panel (form MAP1_FILTER), docked at the third level of the
// bottom dock, and the command it shares with the filter bar (FILTER1): the
// player picks the terrain value the map colours hexes by, its exact-hex
// mode and the map's overlays, and sees which are on.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

// The controls of both forms, by id.
inline constexpr int32_t kFilterChoiceId = 1;        // the terrain value of the choice (index 0)
inline constexpr int32_t kFilterFirstValueId = 2;    // ids 2 to 9: value index 1 to 8
inline constexpr int32_t kFilterLastValueId = 9;
inline constexpr int32_t kFilterExactHexId = 10;     // exact-hex mode on
inline constexpr int32_t kFilterAreaId = 11;         // exact-hex mode off
inline constexpr int32_t kFilterValueGroupId = 15;   // shown while one value (index 1 to 8) is chosen
inline constexpr int32_t kFilterLosId = 20;
inline constexpr int32_t kFilterSupplyId = 21;
inline constexpr int32_t kFilterGroundDefenceId = 22;
inline constexpr int32_t kFilterMunitionsId = 23;
inline constexpr int32_t kFilterOccupationId = 24;
inline constexpr int32_t kFilterOwnershipId = 25;
inline constexpr int32_t kFilterCloseCombatId = 26;
inline constexpr int32_t kFilterHighGroundId = 27;
inline constexpr int32_t kFilterBordersId = 30;
inline constexpr int32_t kFilterUnitsId = 31;
inline constexpr int32_t kFilterGridId = 32;
// The button that turns the terrain values off; it carries none of ids 1 to
// 9, which are tested first.
inline constexpr const char* kFilterNoValueTag = "NONE";

// The switch ids in the order both screens show them.
inline constexpr int32_t kFilterSwitchIds[] = {kFilterBordersId,       kFilterUnitsId,     kFilterGridId,
                                               kFilterOwnershipId,     kFilterOccupationId, kFilterSupplyId,
                                               kFilterLosId,           kFilterGroundDefenceId, kFilterMunitionsId,
                                               kFilterCloseCombatId,   kFilterHighGroundId};

inline constexpr const char* kMapFilterTags[] = {kFilterNoValueTag};
inline constexpr int32_t kMapFilterIds[] = {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 15, 20, 21, 22, 23, 24, 25, 26, 27};

// The overlay switch a switch control shows and sets; null for any other id.
int32_t* MapFilterSwitch(UiOptions& options, int32_t id);
const int32_t* MapFilterSwitch(const UiOptions& options, int32_t id);

class MapFilterPanel : public Screen {
 public:
  MapFilterPanel() : Screen("MAP1_FILTER", FormLookups{.tags = kMapFilterTags, .ids = kMapFilterIds}) {}

  // Docks at the third level; the value buttons take the "productsl"
  // texts.
  void BindControls() override;
  // Opens the dock's third level.
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t value) override;
};

// Labels the value buttons (ids 2 to 9) of a filter form with the first
// eight "productsl" texts.
void LabelMapFilterValues(Control* form);
// Gives the value buttons (ids 2 to 9) of a filter form the pictures of the
// first eight goods.
void DrawMapFilterIcons(Control* form);
// Shows the switches' state on a filter form: the chosen value button (or
// "NONE") and control 15, the exact-hex button and the overlay switches.
// Value buttons are only ever selected here: their radio group lets go of
// the others.
void ShowMapFilterState(const MapView& view, const UiOptions& options, Control* form);
// The command both filter forms share: a value button, "NONE", the exact-hex
// pair or a switch (which takes its button's check state, off without a
// control) changes the view or the options, and the map redraws.
void ApplyMapFilterCommand(MapView& view, UiOptions& options, Control* form, Control* control, int32_t id);
