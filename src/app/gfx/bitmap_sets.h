#pragma once
// The start-up screens and the interface's image sets.
#include <cstdint>

struct ScreenManager;

// Each returns 0 on success; a failing splash or loading screen closes the program.
int32_t ShowSplashScreens();
int32_t LoadUiBitmaps(ScreenManager& ui);
int32_t ShowLoadingScreen(int32_t networkRole);
