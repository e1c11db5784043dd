#include "ui/screen.h"

#include "ui/control.h"

Screen* Screen::head_ = nullptr;

Screen::Screen(const char* name) : formName(name) {
  nextScreen = head_;
  head_ = this;
}

Screen::~Screen() {
  for (Screen** p = &head_; *p; p = &(*p)->nextScreen) {
    if (*p == this) {
      *p = nextScreen;
      break;
    }
  }
}

int32_t Screen::Show(int32_t newId, Control* newHost) {
  if (newId != kKeepScreenId) id = newId;
  AttachForm(newHost);
  OnOpen();
  Refresh();
  return 0;
}

int32_t Screen::AttachForm(Control* newHost) {
  if (newHost) host = newHost;
  currentForm = form;
  return 0;
}

int32_t Screen::Popup(int32_t newId, void*) {
  if (newId != kKeepScreenId) id = newId;
  AttachForm(nullptr);
  OnOpen();
  Refresh();
  return 0;
}
