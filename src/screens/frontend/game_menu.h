#pragma once
// The in-game menu (GAME): opened on a page (0 the main page, 9 the leave
// and quit page) over the map, pausing the game. Its pages come with the
// game-flow screens.
#include <cstdint>

#include "ui/screen.h"

inline constexpr int32_t kGameMenuMainPage = 0;
inline constexpr int32_t kGameMenuQuitPage = 9;

class GameMenu : public Screen {
 public:
  GameMenu() : Screen("GAME") {}
};

// Pauses the game and opens the menu on the page; the pop-up's refusal, or 0.
int32_t GameMenuActivate(GameMenu& menu, int32_t page);
