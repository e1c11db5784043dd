#include "world/world_session.h"

#include "net/net_session.h"
#include "world/text/ui_options.h"
#include "world/world.h"

void LendWorldToSession(NetSessionGame& game, World& world) {
  game.slots = world.slotTable;
  game.scenarioHead = &world.scenario.head;
  game.gameParams = &world.campaignMessage;
  game.currentTick = &world.gameState.currentTick;
  game.localPlayer = &world.gameState.localPlayer;
  game.players = world.players;
  game.chatHistory = &g_uiOptions.chatsavehistory;
}
