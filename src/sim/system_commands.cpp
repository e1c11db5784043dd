#include "sim/system_commands.h"

#include <utility>

#include "net/command_network.h"
#include "sim/network_command_args.h"
#include "world/world.h"

namespace {

bool IsPlayerKind(int32_t kind) {
  return kind == kKindEmpty || kind == kKindWorld || kind == kKindHuman || kind == kKindComputer || kind == kKindOut;
}

void System(CommandPass& run) {
  if (run.pass != 1) return;
  GameCommand& c = run.command;
  if (c.id == kCmdSyncCheck) {
    if (g_commandNet.checkSyncEntries)
      g_commandNet.checkSyncEntries(run.world, c.player, c.arg32, c.arg28, std::move(c.payload));
    c.payload.clear();
    c.payloadLength = 0;
  } else if (c.id == kCmdSetPlayerKind) {
    const int32_t kind = ArgsOf<PlayerKindArgs>(c).kind;
    if (IsPlayerKind(kind)) run.player.kind = kind;
  }
}

}  // namespace

CommandHandler SystemCommandHandler(uint32_t id) {
  return id == kCmdSyncCheck || id == kCmdSetPlayerKind ? &System : nullptr;
}
