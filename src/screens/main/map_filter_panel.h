#pragma once
// The map filter panel (form MAP1_FILTER), docked at the third level of the
// bottom dock: the player picks the terrain value the map colours hexes by,
// its exact-hex mode and the map's overlays, and sees which are on.
#include <cstdint>

#include "ui/screen.h"

class Control;
class MapView;
struct UiOptions;

// The panel's controls, by form id.
inline constexpr int32_t kFilterFirstValueId = 2;   // ids 2 to 9: value index 1 to 8
inline constexpr int32_t kFilterLastValueId = 9;
inline constexpr int32_t kFilterExactHexId = 10;
inline constexpr int32_t kFilterValueGroupId = 15;  // shown while a value index is chosen
inline constexpr int32_t kFilterLosId = 20;
inline constexpr int32_t kFilterSupplyId = 21;
inline constexpr int32_t kFilterGroundDefenceId = 22;
inline constexpr int32_t kFilterMunitionsId = 23;
inline constexpr int32_t kFilterOccupationId = 24;
inline constexpr int32_t kFilterOwnershipId = 25;
inline constexpr int32_t kFilterCloseCombatId = 26;
inline constexpr int32_t kFilterHighGroundId = 27;
inline constexpr const char* kFilterNoValueTag = "NONE";

inline constexpr const char* kMapFilterTags[] = {kFilterNoValueTag};
inline constexpr int32_t kMapFilterIds[] = {2, 3, 4, 5, 6, 7, 8, 9, 10, 15, 20, 21, 22, 23, 24, 25, 26, 27};

// The overlay switch each switch control (ids 20 to 27) shows and sets.
int32_t* MapFilterSwitch(UiOptions& options, int32_t id);

class MapFilterPanel : public Screen {
 public:
  MapFilterPanel() : Screen("MAP1_FILTER", FormLookups{.tags = kMapFilterTags, .ids = kMapFilterIds}) {}

  // Labels the value buttons with the "productsl" texts.
  void BindControls() override;
  // Opens the dock's third level.
  void OnOpen() override;
  // Shows the switches' state: the chosen value button (or "NONE"), the
  // exact-hex mode and the overlay switches.
  void Refresh() override;
  // A value button, "NONE", the exact-hex button or a switch was pressed.
  void OnCommand(Control* control, int32_t value) override;

 private:
  Control* Find(int32_t id) const;
};

// The command the panel shares with the map's filter bar: a button of the
// form changes the value index, the exact-hex mode or an overlay switch by
// its check state, and the map redraws.
void ApplyMapFilterCommand(MapView& view, UiOptions& options, Control* form, Control* control, int32_t id);
