#include "world/scenario_settings.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

void InitScenarioSettings(ScenarioSettings& settings) {
  std::memset(&settings, 0, sizeof settings);
  settings.head.id = kScenarioHeadId;
  settings.head.size = kScenarioHeadSize;
}

void ClearScenarioSettings(ScenarioSettings& settings) {
  for (char* text : {settings.gamfile, settings.gmtfile, settings.ttrfile, settings.pplfile, settings.unifile,
                     settings.terfile, settings.playsetfile, settings.nextupmap})
    std::free(text);
  for (const ScenarioMapLink& link : settings.winmaps) std::free(link.mapName);
  for (const ScenarioMapLink& link : settings.losemaps) std::free(link.mapName);
  // A cleared record still sends and saves a head that peers accept.
  InitScenarioSettings(settings);
}
