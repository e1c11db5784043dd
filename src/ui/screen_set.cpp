#include "ui/screen_set.h"

#include "app/init_order.h"
#include "ui/form_file.h"

ScreenSet g_screens VD_INIT_SCREEN_SET;

void LoadScreenListForms(ScreenSet&) {
  for (Screen* s = Screen::AllScreens(); s; s = s->nextScreen) {
    if (s->formName) s->form = LoadFormFile(s->formName, s, nullptr, nullptr);
    if (s->alternateFormName) s->alternateForm = LoadFormFile(s->alternateFormName, s, nullptr, nullptr);
    s->currentForm = s->form ? s->form : s->alternateForm;
    if (!s->formName || s->form) s->BindControls();
  }
}
