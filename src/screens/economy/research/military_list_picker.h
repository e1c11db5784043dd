#pragma once
// The technology list picker of the military department (MILITARY1_ss7):
// six category buttons, kept in step with those of the technology list
// page, over the category's technologies; a double click opens the
// technology's pop-up. Posts nothing. Window thread.
#include <cstdint>
#include <memory>

#include "screens/common/screen_types_fwd.h"
#include "screens/economy/research/tech_list_panels.h"
#include "ui/screen.h"

inline constexpr const char* kListPickerTags[] = {"LIST2", "OKBUT"};

std::unique_ptr<Screen> MakeMilitaryListPicker();
