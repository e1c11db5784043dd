#include "world/game_state.h"

#include <cstring>

#include "records/text_field.h"
#include "world/object_hex.h"
#include "world/world.h"

void InitGameState(GameState& state, const MapHeader& map) {
  std::memset(static_cast<void*>(&state), 0, sizeof state);
  state.size = kGameStateSize;
  state.version = kGameVersion;
  state.created = FileStampNow();
  state.playerCount = kMaxPlayers;
  state.highestPlayer = 2;
  state.word140 = 2;
  state.turnNumber = 0;
  state.currentDay = map.startDay;
  const std::string title = FieldText(map.gameTitle);
  SetFieldText(state.mapName, title);
  SetFieldText(state.scenarioName, title);
  SetFieldText(state.scenarioTextName, title);
  state.visibilityLfsr = 1;
  state.mapTuning[0] = map.tuning[0];
  state.mapTuning[1] = map.tuning[1];
  state.currentHex = HexPosition{};
  state.viewHex = HexPosition{};
  state.localPlayer = 1;
  state.daysPerTurn = 1;
  PublishObjectHexesCleared();
}
