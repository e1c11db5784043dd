#pragma once
// The area-tag panel (DIPLOMACY1_SS4): the player picks one of the four
// tags he may draw, marks its hexes on the map, shows or hides the tags and
// empties one. Its id is the current tag, kept between openings.
#include <memory>
#include <cstdint>

#include "ui/screen.h"

inline constexpr const char* kAreaTagPanelTags[] = {"POP",  "AREA", "HEXES", "CLEAR",
                                                    "SELECT", "MARK", "BACK", "VIEWTAGTEXT"};
// 1 to 4 choose tag 0 to 3; 11 to 14 show tag 0 to 3 on the map.
inline constexpr int32_t kAreaTagPanelIds[] = {1, 2, 3, 4, 11, 12, 13, 14};
inline constexpr int32_t kEditableAreaTags = 4;
inline constexpr int32_t kFirstTagButton = 1;
inline constexpr int32_t kFirstTagBox = 11;

std::unique_ptr<Screen> MakeAreaTagPanel();
