#pragma once
// The screens the main screen's layout shows and hides: the map border and
// the department screens that
// open as the dock's main panel. Most are homes whose panels come with
// their departments; each copes with a form that never loaded.
#include <cstdint>
#include <memory>

#include "screens/main/bars/filter_bar.h"
#include "screens/main/panels/hex_info_panel.h"
#include "screens/main/bars/minimap_bar.h"
#include "ui/screen.h"

// The nine-piece frame around the map pane (MAPBORD); its id is 1 while the
// border is on. It hangs in the map border anchor.
std::unique_ptr<Screen> MakeMapBorder();

// Main panels 2 to 7 but production and domestic policy (their homes are
// the economy's); the orders screen's and the military and operations
// departments' are the military screens'; diplomacy's is its own.
inline constexpr const char* kEconomyScreenTags[] = {"BUDGET", "TRADEBUT"};
inline constexpr int32_t kEconomyPanel = 5;
std::unique_ptr<Screen> MakeEconomyScreen();
// The production department's product-profit page, which the budget's
// TRADEBUT opens; docked beside the budget until the department fills it.
std::unique_ptr<Screen> MakeProductProfitPage();
