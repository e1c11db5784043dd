#include "screens/frontend/score_card.h"

int32_t ScoreCardActivate(ScoreCard& card, intptr_t id, const ScreenParameterList* list) { return card.Popup(id, list); }
