#pragma once
// Posting game commands and running them at their due tick. Every change a
// player or a computer region makes goes through here: posting stamps the
// command, sends it to the peers, runs it at once on the display copies and
// files it in the command log; the minute loop runs it again on the
// simulation copies when the clock reaches its due tick.
#include <cstdint>

#include "sim/command_log.h"
#include "sim/game_command.h"

// Takes the command. Under the command-log lock (and, for a display pass
// that links records into the world's lists, the simulation lock first): the issuing player's
// counter goes up by one and stamps the sequence word; with `send` set in a
// network game the command goes to every peer; the display pass runs; the
// command is logged. A malformed command (see CommandDefect) is logged to
// the game log and dropped before any of that. The network layer posts
// commands received from peers with `send` off. Returns the sequence word
// the command was stamped with, 0 for a dropped one.
uint32_t PostCommand(CommandLog& log, GameCommand command, bool send);

// Runs every logged command whose due tick is not above `tick`, oldest
// first, each in its simulation pass, and destroys it. Each command is taken
// out and run under the simulation lock, so a save or a screen that holds
// that lock sees a command either still waiting or fully run. Returns the
// number run.
int DrainDueCommands(CommandLog& log, uint32_t tick);
