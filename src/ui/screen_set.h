#pragma once
// The one object that holds every screen.
#include "screens/frontend/game_file_screen.h"
#include "screens/frontend/start_menu.h"
#include "screens/main/title_bar.h"
#include "ui/deferred_actions.h"

struct UnitClassRecord;

struct ScreenSet {
  StartMenu startMenu;
  GameFileScreen gameFile;
  TitleBar titleBar;
  DeferredActions deferred;
  // The class the panels show: that of the selected hex's visible unit.
  const UnitClassRecord* currentClass = nullptr;
};

extern ScreenSet g_screens;

// Loads every screen's forms (first mode entry only).
void LoadScreenListForms(ScreenSet& screens);
