#pragma once
// Two more of the deal editor's item panels: the land-tag panel, which
// shows one of the player's area tags on the map with its figures, and a
// region list kept bound for a pick of a region (no item opens it yet).
// Window thread.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

inline constexpr const char* kDealAreaTags[] = {"POP", "AREA", "HEXES", "CENTER"};
inline constexpr int32_t kDealAreaIds[] = {1, 2, 3, 4};
inline constexpr int32_t kDealAreaTagsShown = 4;

// The id is the tag, 0 to 3.
class DealAreaPicker : public Screen {
 public:
  DealAreaPicker() : Screen("POPUP_DIPLOMACY_SS1g", FormLookups{.tags = kDealAreaTags, .ids = kDealAreaIds}) {}
  explicit DealAreaPicker(const char*) : DealAreaPicker() {}
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
};

inline constexpr const char* kDealRegionTags[] = {"REGIONLIST", "REGIONPICK"};

class DealRegionPicker : public Screen {
 public:
  DealRegionPicker() : Screen("POPUP_DIPLOMACY_SS1c", FormLookups{.tags = kDealRegionTags, .ids = {}}) {}
  explicit DealRegionPicker(const char*) : DealRegionPicker() {}
  void OnOpen() override;
  void BindControls() override;
  void OnControlChange(Control* control, int32_t id) override;

  ListBoxControl* regions = nullptr;  // REGIONLIST
};
