#pragma once
// The status lines floating over the map (STATMAP): the newest short news
// of the local region, one more revealed at a time, highest priority
// first, standing at the bottom of the overlay; the main screen's layout
// places it (LayoutStatusOverlay).
#include <cstdint>
#include <string>
#include <vector>

#include "screens/common/map_overlay.h"
#include "screens/common/screen_types_fwd.h"

inline constexpr const char* kStatusOverlayTags[] = {"STATLIST"};

class StatusMapOverlay : public MapOverlay {
 public:
  StatusMapOverlay() : MapOverlay("STATMAP", FormLookups{.tags = kStatusOverlayTags, .ids = {}}) {}
  void BindControls() override;
  void Refresh() override;

  uint32_t lastReveal = 0;  // interface milliseconds of the last line revealed
};

// A waiting line older than this many minute ticks (a game day) goes
// unseen.
inline constexpr uint32_t kStatusLineMaxWait = 1440;

// Walks the local status lines at the interface time now: drops stale
// waiting lines and long-expired ones, and returns the texts to show (those
// still up, then at most one newly revealed). Takes the local-news lock.
std::vector<std::string> CollectStatusLines(World& world, uint32_t now, uint32_t& lastReveal);
// Fills the overlay's list from CollectStatusLines with the lines at its
// bottom; the rows shown.
int32_t FillStatusLines(StatusMapOverlay& overlay, uint32_t now);
