#pragma once
// The score card (SCORECARD1): the players' standings, as a pop-up over the
// game or embedded in the result screen. Its tables come with the
// game-flow screens.
#include <cstdint>

#include "ui/screen.h"

class Control;

class ScoreCard : public Screen {
 public:
  ScoreCard() : Screen("SCORECARD1") {}
  int32_t page = 0;  // 1..5 once shown; 0 before the first opening
};

// Opens the score card with the id (kKeepScreenId keeps its own) and list.
int32_t ScoreCardActivate(ScoreCard& card, intptr_t id, const ScreenParameterList* list);
// Shows the card inside a host control on the page (the result screen's
// way): its form moves to the host's origin, keeps its size, and is drawn
// a little translucent.
void ShowScoreCardIn(ScoreCard& card, Control* host, int32_t page);
