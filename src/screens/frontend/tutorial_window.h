#pragma once
// The tutorial window (TUTORIAL1): while it is open the keyboard only
// closes it. Its pages come with the game-flow screens.
#include "ui/screen.h"

class TutorialWindow : public Screen {
 public:
  TutorialWindow() : Screen("TUTORIAL1") {}
};

bool TutorialWindowOpen(const TutorialWindow& window);
// Closes it, bringing back nothing it replaced.
void CloseTutorialWindow(TutorialWindow& window);
