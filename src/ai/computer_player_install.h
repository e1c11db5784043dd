#pragma once
// Fills the game threads' table of computer-player calls
// (sim/computer_player_link.h) with this library's. The program and the
// headless runner call it at start-up, before a game's threads start.
void InstallComputerPlayers();
