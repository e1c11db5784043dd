#include "sim/command_post.h"

#include <optional>
#include <string>
#include <utility>

#include "app/app_object.h"
#include "app/log.h"
#include "sim/command_counts.h"
#include "sim/command_executor.h"
#include "sim/command_observer.h"
#include "net/command_network.h"
#include "net/net_session.h"
#include "sim/command_log.h"
#include "sim/simulation_lock.h"
#include "world/world.h"

namespace {
// A command from a peer joins the world's command log, not sent on again.
void PostReceivedCommand(GameCommand&& command) {
  if (CommandLog* log = CommandLogOf(g_world)) PostCommand(*log, std::move(command), false);
}
// The game's session posts what it receives here from the start; its game
// is plain pointers, set before any constructor runs.
[[maybe_unused]] const bool g_sessionPosts = (g_netSessionGame.postCommand = PostReceivedCommand, true);
}  // namespace

uint32_t PostCommand(CommandLog& log, GameCommand command, bool send) {
  const std::string defect = CommandDefect(command);
  if (!defect.empty()) {
    LogWrite(g_platform, "Command %u of player %u dropped: %s\n", command.id, static_cast<unsigned>(command.player),
             defect.c_str());
    return 0;
  }
  World& world = log.world();
  // The simulation lock comes before the command log's: a display pass that
  // links a unit or a stack into the world's lists must not do it while the
  // turn thread or a computer player walks them. Other display passes touch
  // only display copies, which the command-log lock guards.
  std::optional<plat::CriticalSectionLock> simulation;
  if (DisplayPassLinksRecords(command.id) && RunsDisplayPass(world, command)) simulation.emplace(g_simulationLock);
  WorldLockGuard hold(world, kLockCommandLog);
  PlayerRecord& player = world.players[command.player];
  command.sequence = MakeSequence(NextCommandCounter(player), command.player);
  if (send && IsNetworkGame(g_commandNet) && g_commandNet.send) {
    const std::vector<uint8_t> message = EncodeGameCommand(command);
    g_commandNet.send(message.data(), message.size());
  }
  ExecuteCommand(world, command, 0);
  const uint32_t sequence = command.sequence;
  log.Insert(std::move(command));
  return sequence;
}

int DrainDueCommands(CommandLog& log, uint32_t tick) {
  int ran = 0;
  for (;;) {
    plat::CriticalSectionLock simulation(g_simulationLock);
    GameCommand command;
    if (!log.TakeDue(tick, command)) break;
    ExecuteCommand(log.world(), command, 1);
    if (CommandRanHook hook = g_commandRanHook.load(std::memory_order_relaxed)) hook(log.world(), command);
    ++ran;
  }
  return ran;
}
