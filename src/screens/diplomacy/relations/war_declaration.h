#pragma once
// The confirmation of a declaration of war on the picked region, docked at
// the third level with the calendar beside it.
#include <cstdint>
#include <memory>

#include "ui/screen.h"

inline constexpr const char* kWarDeclarationTags[] = {"REGNAME", "LEADER", "WARACCPBUT", "WARCANBUT", "CALPARENT"};
// The diplomacy department's calendar that the war panel shows.
inline constexpr size_t kWarCalendar = 0;

std::unique_ptr<Screen> MakeWarDeclarationPanel();
