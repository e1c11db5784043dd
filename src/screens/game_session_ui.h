#pragma once
// The interface's side of a running game: what the simulation asks of the
// screens when a game starts, runs and stops (the notifications of the turn
// thread, the window timer, the interface's modes). Installed once at
// start-up.
void InstallGameSessionUi();
