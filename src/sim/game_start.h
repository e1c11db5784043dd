#pragma once
// Starting and joining a game. Once the front end has chosen a game (a
// scenario, a save, a network session, the next scenario of a campaign) the
// game start loads what is not loaded yet, applies the scenario's start
// presets, fills the players from the network slot table, logs on, runs the
// first monthly items and a first day for a new game, and shows the briefing
// screen, or, for a player entering a running session, joins it.
#include <atomic>
#include <cstdint>

#include "records/player_record.h"

struct ScreenManager;
struct World;

// The local user's choices on the front-end screens: the portrait, the
// political leaning and the leader choice (1 to 4), and in a network game
// the other players' packed profile words (bits 8-15 government type, 16-23
// leaning, 24-31 portrait; 0 none).
struct ProfileChoices {
  uint8_t portrait = 0;
  int8_t leaning = 0;
  uint8_t leaderChoice = 1;
  uint32_t remoteProfiles[kMaxPlayers] = {};
};

extern ProfileChoices g_profileChoices;

// Set while a game starts (the lobby and briefing screens show it), and the
// lobby's progress while it does.
extern std::atomic<int32_t> g_gameLoading;
extern std::atomic<int32_t> g_lobbyLoadProgress;

// Sets the lobby's progress and has the interface show it.
void SetLobbyProgress(ScreenManager* ui, int32_t value);

// The party a leaning belongs to: 0 below -40, 1 from -40 to 40, 2 above.
uint8_t RulingPartyOf(int8_t politic);

void StartGameSession(ScreenManager* ui, int32_t alreadyLoaded, int32_t joining, int32_t logOnFlag);
// Enters the started game as its local player. A new game's local region
// takes the front end's portrait, leaning and leader; a loaded one keeps its
// own, and in a network game its peers are sent what it keeps.
void JoinGameAsPlayer(ScreenManager* ui, int32_t loadedFromSave);

// Who plays which region: regions led by a person become computer-led
// unless a network slot holds them; in a single game the first region from
// the local player up that is in play becomes the local, human one.
void AssignSlotsToPlayers(World& world, int32_t atStart);

// The start preset of the scenario (its chosen grouping): each leader's first
// e-mail, and its members surrendered to it without messages.
void ApplyStartPresets(World& world);

// The profile word a player sends in a session message of kind 108.
uint32_t PackProfileWord(const PlayerRecord& record);
