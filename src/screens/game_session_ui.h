#pragma once
// The interface's side of a running game: what the simulation asks of the
// screens when a game starts, runs and stops (the notifications of the turn
// thread, the window timer, the interface's modes). Installed once at
// start-up.
void InstallGameSessionUi();

struct ScreenSet;

// Everything the screens hold of the game being left or begun: a placement
// under way, the panels docked in the bottom bars, the map screen's side
// panel and tabs, the selection and the unit lists, the orders screen's
// units and edits, the news rows. Every game stops and starts through
// here, so the next game shows nothing of the last. Window thread.
void ForgetGameScreens(ScreenSet& screens);
