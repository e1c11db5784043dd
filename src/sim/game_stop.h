#pragma once
// Leaving a game undoes what log-on built: the clock pauses, the game's
// pop-ups and interface states close, the timer and every thread stop, the
// per-game interface resources go, the front end comes back, and unless the
// game is kept for the victory screen its data is freed.
struct ScreenManager;
struct World;

// Pauses, stops the session, brings back the front end (or the victory
// screen, keeping the game's data for it and for a campaign's next
// scenario) and otherwise releases the game's data.
void SwitchGameScreen(ScreenManager* ui, bool showVictory);
// The timer, the computer players' threads and the turn thread (each waited
// for), the game's interface resources, the log file, the network session,
// the sync buffers, the command log, the run-time state the game left in
// the world (ClearGameRunState), the status lines and the peers' profiles.
void StopGameSession(ScreenManager* ui);
// Frees the game, the map, the data tables, the scenario and a loaded save
// game's snapshots and head; the game parameters go back to their empty
// state.
void ReleaseGameData(World& world);
// The network game stopped: every link NetGameStarts (net_game/net_game_link.h)
// installed is removed, and the command pipeline's role becomes none.
void NetGameStops();
