#include "sim/command_executor.h"

#include <array>

#include "app/app_object.h"
#include "app/log.h"
#include "sim/command_counts.h"
#include "records/command_ids.h"
#include "net/command_network.h"
#include "sim/command_pass.h"
#include "sim/game_command.h"
#include "sim/hex_commands.h"
#include "sim/policy_commands.h"
#include "sim/relation_commands.h"
#include "sim/system_commands.h"
#include "sim/unit_commands.h"
#include "records/net_slot.h"
#include "world/world.h"

namespace {

// The ids that make units and projects run their display pass everywhere,
// so every peer makes the same record under the command's sequence word.
bool MakesObject(uint32_t id) { return id == kCmdCreateUnit || id == kCmdCreateUnitAt || id == kCmdProjectCreate; }

CommandHandler FindHandler(uint32_t id) {
  if (CommandHandler h = PolicyCommandHandler(id)) return h;
  if (CommandHandler h = RelationCommandHandler(id)) return h;
  if (CommandHandler h = UnitCommandHandler(id)) return h;
  if (CommandHandler h = HexCommandHandler(id)) return h;
  return SystemCommandHandler(id);
}

// The table of ids 16 to 386; ids with no entry do nothing but count.
const std::array<CommandHandler, kCommandIdLast - kCommandIdFirst + 1>& Table() {
  static const auto table = [] {
    std::array<CommandHandler, kCommandIdLast - kCommandIdFirst + 1> t{};
    for (uint32_t id = kCommandIdFirst; id <= kCommandIdLast; ++id) t[id - kCommandIdFirst] = FindHandler(id);
    return t;
  }();
  return table;
}

CommandHandler Lookup(uint32_t id) {
  if (id >= kCommandIdFirst && id <= kCommandIdLast) return Table()[id - kCommandIdFirst];
  return SystemCommandHandler(id);
}

}  // namespace

bool DisplayPassLinksRecords(uint32_t id) {
  if (MakesObject(id)) return true;
  return id >= kCmdHexStack288 && id <= kCmdNameHex && id != kCmdRelationSet298;
}

bool RunsDisplayPass(const World& world, const GameCommand& command) {
  if (MakesObject(command.id)) return true;
  if (static_cast<int32_t>(command.player) == world.gameState.localPlayer) return true;
  const PlayerRecord& player = world.players[command.player];
  if (!TakesPart(player)) return false;
  if (!IsNetworkGame(g_commandNet)) return true;
  if (g_commandNet.role != kNetGameHost) return false;
  const uint32_t slot = player.networkSlot;
  return !(slot != 0 && slot < static_cast<uint32_t>(kMaxPlayers) && world.slotTable[slot].state == kSlotHuman);
}

void ExecuteCommand(World& world, GameCommand& command, int pass) {
  if (command.player >= kMaxPlayers || !IsKnownCommandId(command.id)) {
    LogWrite(g_platform, "Command %u of player %u dropped in pass %d: no such %s\n", command.id,
             static_cast<unsigned>(command.player), pass, command.player >= kMaxPlayers ? "player" : "command");
    return;
  }
  if (pass == 0 && !RunsDisplayPass(world, command)) return;
  PlayerRecord& player = world.players[command.player];
  CatchUpCommandCounter(player, SequenceCounter(command.sequence));

  CommandPass run{world, command, player, pass, pass == 0 ? player.displayPolicy : player.simPolicy};
  if (CommandHandler handler = Lookup(command.id)) handler(run);

  if (pass == 0)
    AddPendingCommand(player);
  else if (run.refreshesDisplay)
    PendingCommandCount(world, player, 1);
  else
    DropPendingCommand(player);
}
