#pragma once
// Runs one game command in one pass: pass 0 on the display copies at
// posting, pass 1 on the simulation copies at the due tick. Before the id's
// own effect: the display pass of a command that does not belong on this
// process's display is skipped whole; the player's counter catches up with
// the command's. After it: pass 0 counts the command as outstanding for its
// player, pass 1 counts it done.
//
// Everything a command carries may come from a peer: a player, product,
// tax kind, post, region, list index, bit number, hex or unit that is out
// of range makes the command do nothing in both passes, and it is still
// counted in both, so the counts stay balanced. A command whose player or
// id is unknown is logged and dropped without being counted.
#include <cstdint>

struct World;
struct GameCommand;

void ExecuteCommand(World& world, GameCommand& command, int pass);

// Whether this process runs the command's display pass: always for the
// local player's commands and for the ids that make units and projects
// (272, 275, 384); for other players' commands only when they take part in
// the game, and in a network game only on the host for regions that no
// person plays there.
bool RunsDisplayPass(const World& world, const GameCommand& command);

// Whether the command's display pass can link new records into the world's
// lists: units into the unit ring and the unit tables, stacks into hex cells,
// projects into their list (272, 275, 384 and the hex-stack ids 288 to 304).
// The turn thread and the computer players walk those lists under the
// simulation lock, so such a display pass runs under it too.
bool DisplayPassLinksRecords(uint32_t id);
