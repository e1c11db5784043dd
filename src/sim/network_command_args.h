#pragma once
// The arguments of the network layer's command that sets a slot's player
// kind, by name, and the way the network posts it for another player than
// the local one.
#include <cassert>
#include <cstdint>

#include "sim/game_command.h"

// The player's new kind (word 28), one of the PlayerKind values (0x8002).
struct PlayerKindArgs {
  int32_t kind = 0;
  CommandArgWords Pack() const { return {.arg28 = static_cast<uint32_t>(kind)}; }
  static PlayerKindArgs Unpack(const CommandArgWords& w) { return {.kind = static_cast<int32_t>(w.arg28)}; }
  bool operator==(const PlayerKindArgs&) const = default;
};

// Posts the command as the given player's: the host does so for a slot
// that joined or left. The families posted this way leave word 24 empty.
template <class Args>
void PostArgsAs(uint32_t id, int32_t player, const Args& args) {
  const CommandArgWords w = args.Pack();
  assert(w.arg24 == 0);
  PostCommand_28_32_36p(id, player, w.arg28, w.arg32, w.arg36);
}
