#pragma once
// Making and posting game commands. The record itself, its wire image and
// its checks are in records/game_command_record.h.
#include <cstdint>
#include <utility>
#include <vector>

#include "records/game_command_record.h"

struct GameState;

// A command of the given id for the given player, due at the state's current
// tick plus its command lead; no arguments, no payload, not yet stamped.
GameCommand MakeGameCommand(const GameState& state, uint32_t id, int32_t player);

// Posts a command of the local player with the given argument words (and
// payload) as the builders below do; PostArgs takes a typed argument struct.
void PostCommandWords(uint32_t id, const CommandArgWords& words, std::vector<uint8_t> payload = {});
template <class Args>
void PostArgs(uint32_t id, const Args& args, std::vector<uint8_t> payload = {}) {
  PostCommandWords(id, args.Pack(), std::move(payload));
}

// The builders. Each makes a command of the local player (or of the given
// player), due at the current tick plus the lead, with the named words set,
// and posts it to the world's command log with sending on. A payload
// becomes the command's own.
void PostCommand_28(uint32_t id, uint32_t a);
void PostCommand_28_32(uint32_t id, uint32_t a, uint32_t b);
void PostCommand_28_32_36(uint32_t id, uint32_t a, uint32_t b, uint32_t c);
void PostCommand_28_32_36p(uint32_t id, int32_t player, uint32_t a, uint32_t b, uint32_t c);
// A command of the given player with one value in its word at 28.
void PostSimpleCommand(uint32_t id, int32_t player, int32_t value);
