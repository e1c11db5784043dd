#pragma once
// The one object that holds every screen.
#include "screens/frontend/start_menu.h"
#include "ui/deferred_actions.h"

struct ScreenSet {
  StartMenu startMenu;
  DeferredActions deferred;
};

extern ScreenSet g_screens;

// Loads every screen's forms (first mode entry only).
void LoadScreenListForms(ScreenSet& screens);
