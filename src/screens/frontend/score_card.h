#pragma once
// The score card (SCORECARD1): the players' standings. Its tables come with
// the game-flow screens.
#include <cstdint>

#include "ui/screen.h"

class ScoreCard : public Screen {
 public:
  ScoreCard() : Screen("SCORECARD1") {}
};

// Opens the score card with the id (kKeepScreenId keeps its own) and list.
int32_t ScoreCardActivate(ScoreCard& card, intptr_t id, const ScreenParameterList* list);
