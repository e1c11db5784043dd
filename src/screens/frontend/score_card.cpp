#include "screens/frontend/score_card.h"

#include "ui/control.h"

namespace {
constexpr uint32_t kEmbeddedAlpha = 0x96;
}

int32_t ScoreCardActivate(ScoreCard& card, intptr_t id, const ScreenParameterList* list) {
  if (card.page == 0) card.page = 1;
  return card.Popup(id, list);
}

void ShowScoreCardIn(ScoreCard& card, Control* host, int32_t page) {
  card.page = page;
  card.id = 0;
  if (Control* form = card.form) {
    RectMoveTo(&form->rect, 0, 0);
    form->fills[0] = (form->fills[0] & 0x00FFFFFFu) | (kEmbeddedAlpha << 24);
  }
  card.AttachForm(host);
  card.OnOpen();
  card.Refresh();
}
