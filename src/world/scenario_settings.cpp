#include "world/scenario_settings.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "app/program_version.h"
#include "net/net_session.h"
#include "records/le_bytes.h"
#include "world/text/ui_options.h"

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

void InitSettingsHead(ScenarioHead& head) {
  head = ScenarioHead{};
  head.id = kScenarioHeadId;
  head.size = kScenarioHeadSize;
  head.commandLead = 25;
  head.speedLockMode = g_netSession.inSession ? 2 : 0;
  head.setupWord = static_cast<uint32_t>(g_uiOptions.opdef_turntype);
  head.difficulty = g_uiOptions.opdifficulty;
  head.resources = 2;
  head.techtreedefault = 1;
  head.gameFlags = 0x2B091;
  head.turnlength = g_uiOptions.opturnlength;
  le::StoreI32(head.bytes92, g_uiOptions.optbtimer);
  le::StoreI32(head.bytes92 + 4, g_uiOptions.opstartuptimer);
  head.initialfunds = 2;
  head.reservelimit = g_uiOptions.opreservelimit;
  head.aistance = g_uiOptions.opaistance;
  // The head carries the host's seed to every joiner.
  le::StoreI32(head.bytes113 + 3, std::rand() % 32768);
  head.programVersion = (static_cast<uint32_t>(kProgramVersionMajor) << 16) |
                        (static_cast<uint32_t>(kProgramVersionMinor) << 8) | static_cast<uint32_t>(kProgramVersionBuild);
}
