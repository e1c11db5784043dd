#include "sim/scenario_players.h"

#include "platform/status.h"
#include "records/player_record.h"
#include "sim/game_command.h"
#include "sim/relations.h"
#include "world/map_folders.h"
#include "world/text/player_settings.h"
#include "world/text/scenario_def.h"
#include "world/world.h"

int32_t LoadScenarioPlayers(World& world, const char* directory, const char* name) {
  return LoadScenarioPlayers(world.players, world.gameState.highestPlayer, world.scenario, directory, name,
                             ReadsCustomFolder(), SetTreaty);
}

int32_t LoadPlayerSettings(const PlayerRecord* region, int32_t player, const char* name, const char* directory) {
  return LoadPlayerSettings(region, player, name, directory, PostCommand_28_32_36p);
}

int32_t LoadPlayerSettings(World& world, const char* name, int32_t player, const char* directory) {
  if (!world.localPlayerRecord || player < 0 || player >= kMaxPlayers) return plat::kFail;
  return LoadPlayerSettings(&world.players[player], player, name, directory);
}
