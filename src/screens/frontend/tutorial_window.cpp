#include "screens/frontend/tutorial_window.h"

#include "ui/control.h"

bool TutorialWindowOpen(const TutorialWindow& window) {
  return window.currentForm && window.currentForm->parent;
}

void CloseTutorialWindow(TutorialWindow& window) {
  if (TutorialWindowOpen(window)) window.Close(1);
}
