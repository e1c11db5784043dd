#include "ui/screen.h"

#include <algorithm>

#include "app/app_object.h"
#include "ui/background_bitmap.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/deferred_actions.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"

Screen* Screen::head_ = nullptr;
bool g_alternateLayout = false;

// The backgrounds stretch their picture over the screen, and the forms shown
// on them are laid out on that picture: on a larger screen such a form keeps
// its place towards the middle, as the picture's own parts do. A form put
// elsewhere goes back to where it was laid out.
void Screen::KeepPlaceOnBackground() {
  const bool onBackground = host == g_ui.frontEndBackground || host == g_ui.gameBackground;
  const int32_t x = onBackground ? std::max(0, Width(host) - kBackgroundWidth) / 2 : 0;
  const int32_t y = onBackground ? std::max(0, Height(host) - kBackgroundHeight) / 2 : 0;
  Control* form = currentForm;
  RectMoveTo(&form->rect, form->rect.left + x - form->placeShiftX, form->rect.top + y - form->placeShiftY);
  form->placeShiftX = x;
  form->placeShiftY = y;
}

Screen::Screen(const char* name, FormLookups formLookups) : formName(name), lookups(formLookups) {
  nextScreen = head_;
  head_ = this;
}

Screen::~Screen() {
  // A screen made and destroyed at run time (a list box's) must not leave a
  // registration pointing at it.
  CancelDeferredUiAction(this);
  delete parameterList;
  for (Screen** p = &head_; *p; p = &(*p)->nextScreen) {
    if (*p == this) {
      *p = nextScreen;
      break;
    }
  }
}

int32_t Screen::Show(intptr_t newId, Control* newHost) {
  if (newId != kKeepScreenId) id = newId;
  AttachForm(newHost);
  OnOpen();
  Refresh();
  return 0;
}

int32_t Screen::AttachForm(Control* newHost) {
  currentForm = g_alternateLayout && alternateForm ? alternateForm : form;
  if (newHost) {
    host = newHost;
  } else if (g_alternateLayout && alternateHostLink) {
    host = *alternateHostLink;
  } else if (hostLink) {
    host = *hostLink;
  }
  if (host && currentForm) {
    ControlAttachForm(host, currentForm);
    KeepPlaceOnBackground();
  }
  return 0;
}

int32_t Screen::Popup(intptr_t newId, const ScreenParameterList* list) {
  if (newId != kKeepScreenId) id = newId;
  if (list && list != parameterList) {
    if (!parameterList) parameterList = new ScreenParameterList;
    parameterList->entries = list->entries;
  } else if (!list && parameterList) {
    parameterList->entries.clear();
  }
  const plat::Rect whole{0, 0, g_platform.clientRect.right, g_platform.clientRect.bottom};
  const int32_t opened = OpenPopup(g_ui, currentForm, 0, -1, -1, 0, whole);
  OnOpen();
  Refresh();
  return opened;
}

int32_t Screen::Close(int32_t noReturn) { return ClosePopupForm(g_ui, currentForm, noReturn, 0); }

void NotifyParentScreenStates(Screen* screen) {
  if (!screen || !screen->currentForm) return;
  const Control* parent = screen->currentForm->parent;
  if (parent && parent->owner) parent->owner->Refresh();
}
