#pragma once
// The one object that holds every screen.
#include "screens/frontend/game_file_screen.h"
#include "screens/frontend/start_menu.h"
#include "screens/main/editor_bar.h"
#include "screens/main/title_bar.h"
#include "ui/deferred_actions.h"
#include "ui/popups.h"

struct UnitClassRecord;

// Members in the order the screens are built: the list of all screens runs
// from the last back to the first.
struct ScreenSet {
  TitleBar titleBar;
  EditorBar editorBar;
  StartMenu startMenu;
  GameFileScreen gameFile;
  PopupFrameScreen popupFrames;
  DeferredActions deferred;
  // The class the panels show: that of the selected hex's visible unit.
  const UnitClassRecord* currentClass = nullptr;
};

extern ScreenSet g_screens;

// Loads the forms of every screen on the list of all screens and binds the
// screens whose forms loaded (and those without a form); first interface
// set-up only.
void LoadScreenListForms(ScreenSet& screens);
