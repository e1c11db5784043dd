#pragma once
// What a command handler is given: the world, the command, the issuing
// player's record and the pass, with the player's settings copy of that
// pass. The command groups (settings, relations, units, hexes, system)
// each name the handlers of their ids; the executor holds the table.
#include <cstdint>

#include "sim/game_command.h"
#include "records/player_record.h"

struct World;

struct CommandPass {
  World& world;
  GameCommand& command;
  PlayerRecord& player;
  int pass;                  // 0 display, 1 simulation
  PlayerPolicyBlock& block;  // the display copy in pass 0, the simulation copy in pass 1
  // Set by the handlers that refresh the display settings themselves: their
  // pass-1 count copies the simulation block over the display block when no
  // command of the player is left outstanding.
  bool refreshesDisplay = false;
};

using CommandHandler = void (*)(CommandPass&);

