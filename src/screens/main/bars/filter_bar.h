#pragma once
// The map-overlay bar (FILTER1) in the side-panel box: the terrain value
// the map colours hexes by (off, the choice of button 1, or one of eight
// products), its exact-hex mode and the map's eleven overlay switches. It
// shares its command with the map screen's filter panel.
#include <memory>
#include <cstdint>

#include "screens/main/panels/map_filter_panel.h"
#include "ui/screen.h"

inline constexpr int32_t kFilterBarIds[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 15,
                                            20, 21, 22, 23, 24, 25, 26, 27, 30, 31, 32};

std::unique_ptr<Screen> MakeFilterBar();
