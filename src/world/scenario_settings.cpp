#include "world/scenario_settings.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "net/game_messages.h"

void InitScenarioSettings(ScenarioSettings& settings) {
  std::memset(&settings, 0, sizeof settings);
  settings.head.id = kScenarioHeadId;
  settings.head.size = kScenarioHeadSize;
}

void ReleaseScenarioSettings(ScenarioSettings& settings) {
  for (char* text : {settings.gamfile, settings.gmtfile, settings.ttrfile, settings.pplfile, settings.unifile,
                     settings.terfile, settings.playsetfile, settings.nextupmap})
    std::free(text);
  for (const ScenarioMapLink& link : settings.winmaps) std::free(link.mapName);
  for (const ScenarioMapLink& link : settings.losemaps) std::free(link.mapName);
  InitScenarioSettings(settings);
}

void ClearScenarioSettings(ScenarioSettings& settings) {
  ReleaseScenarioSettings(settings);
  // A cleared record still sends and saves a head that peers accept, with
  // the set-up defaults a new game starts from.
  InitSettingsHead(settings.head);
}
