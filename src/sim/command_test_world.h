#pragma once
// A small world with its own command log, for the pipeline's tests: an 8 x 6
// map, player 1 the local human, players 2 to 4 computer regions, every
// region numbered, the locks made.
#include <memory>

#include "sim/command_log.h"
#include "net/command_network.h"
#include "world/map_data.h"
#include "world/world.h"

struct CommandTestWorld {
  explicit CommandTestWorld(int width = 8, int height = 6) {
    WorldInitLocks(*world);
    ResizeMap(*world, width, height);
    NewGameData(*world);
    GameState& s = world->gameState;
    s.localPlayer = 1;
    s.highestPlayer = 4;
    s.currentTick = 100;
    s.commandLead = 3;
    for (int p = 0; p < kMaxPlayers; ++p) world->players[p].number = static_cast<uint8_t>(p);
    world->players[1].kind = kKindHuman;
    for (int p = 2; p <= 4; ++p) world->players[p].kind = kKindComputer;
    world->localPlayerRecord = &world->players[1];
    log = std::make_unique<CommandLog>(*world);
  }
  ~CommandTestWorld() {
    log.reset();
    WorldDeleteLocks(*world);
  }
  CommandTestWorld(const CommandTestWorld&) = delete;
  CommandTestWorld& operator=(const CommandTestWorld&) = delete;

  std::unique_ptr<World> world = std::make_unique<World>();
  std::unique_ptr<CommandLog> log;
};

// Sets the network link for one test and puts the old one back after it.
class ScopedNetLink {
 public:
  ScopedNetLink(NetGameRole role, CommandSendHook send) : saved_(g_commandNet) {
    g_commandNet.role = role;
    g_commandNet.send = send;
  }
  ~ScopedNetLink() { g_commandNet = saved_; }
  ScopedNetLink(const ScopedNetLink&) = delete;
  ScopedNetLink& operator=(const ScopedNetLink&) = delete;

 private:
  CommandNetLink saved_;
};
