#pragma once
// The status lines floating over the map (STATMAP): the newest short news
// of the local region. Its lines come with the chat and status overlays;
// the main screen's layout places it (LayoutStatusOverlay).
#include "ui/screen.h"

inline constexpr const char* kStatusOverlayTags[] = {"STATLIST"};

class StatusMapOverlay : public Screen {
 public:
  StatusMapOverlay() : Screen("STATMAP", FormLookups{.tags = kStatusOverlayTags, .ids = {}}) {}
};
