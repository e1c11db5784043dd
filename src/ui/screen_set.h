#pragma once
// The one object that holds every screen.
#include "screens/frontend/start_menu.h"
#include "screens/main/title_bar.h"
#include "ui/deferred_actions.h"

struct ScreenSet {
  StartMenu startMenu;
  TitleBar titleBar;
  DeferredActions deferred;
};

extern ScreenSet g_screens;

// Loads every screen's forms (first mode entry only).
void LoadScreenListForms(ScreenSet& screens);
