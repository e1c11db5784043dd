#include "sim/game_command.h"

#include <utility>

#include "sim/command_log.h"
#include "sim/command_post.h"
#include "world/game_state.h"
#include "world/world.h"

GameCommand MakeGameCommand(const GameState& state, uint32_t id, int32_t player) {
  GameCommand command;
  command.id = id;
  // The clock moves the tick on while other threads post.
  const uint32_t tick = CurrentTickNow(state);
  command.dueTick = tick + state.commandLead;
  // An index no byte can hold stays visibly out of range.
  command.player = (player >= 0 && player <= 0xFF) ? static_cast<uint8_t>(player) : 0xFF;
  return command;
}

namespace {

GameCommand Local(uint32_t id) {
  return MakeGameCommand(g_world.gameState, id, g_world.gameState.localPlayer);
}

void Post(GameCommand command) { PostCommand(g_commandLog, std::move(command), true); }

}  // namespace

void PostCommandWords(uint32_t id, const CommandArgWords& words, std::vector<uint8_t> payload) {
  GameCommand c = Local(id);
  SetArgWords(c, words);
  c.payloadLength = static_cast<uint32_t>(payload.size());
  c.payload = std::move(payload);
  Post(std::move(c));
}

void PostCommand_28(uint32_t id, uint32_t a) {
  GameCommand c = Local(id);
  c.arg28 = a;
  Post(std::move(c));
}

void PostCommand_28_32(uint32_t id, uint32_t a, uint32_t b) {
  GameCommand c = Local(id);
  c.arg28 = a;
  c.arg32 = b;
  Post(std::move(c));
}

void PostCommand_28_32_36(uint32_t id, uint32_t a, uint32_t b, uint32_t cc) {
  GameCommand c = Local(id);
  c.arg28 = a;
  c.arg32 = b;
  c.arg36 = cc;
  Post(std::move(c));
}

void PostCommand_28_32_36p(uint32_t id, int32_t player, uint32_t a, uint32_t b, uint32_t cc) {
  GameCommand c = MakeGameCommand(g_world.gameState, id, player);
  c.arg28 = a;
  c.arg32 = b;
  c.arg36 = cc;
  Post(std::move(c));
}

void PostSimpleCommand(uint32_t id, int32_t player, int32_t value) {
  GameCommand c = MakeGameCommand(g_world.gameState, id, player);
  c.arg28 = static_cast<uint32_t>(value);
  Post(std::move(c));
}
