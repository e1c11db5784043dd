#pragma once
// The confirmation of a surrender to the picked region, docked at the third
// level. The surrender is a command like any other; on a single machine the
// game pauses as well.
#include <memory>
#include <cstdint>

#include "ui/screen.h"

inline constexpr const char* kSurrenderConfirmTags[] = {"REGNAME", "LEADER", "SUROK", "SURCAN"};

std::unique_ptr<Screen> MakeSurrenderConfirmPanel();
