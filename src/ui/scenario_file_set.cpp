#include "ui/scenario_file_set.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>

#include "platform/status.h"
#include "records/text_field.h"
#include "sim/command_reset.h"
#include "ui/screen_manager.h"
#include "world/game_file.h"
#include "world/map_file.h"
#include "world/people_file.h"
#include "world/post_load.h"
#include "world/tech_file.h"
#include "world/terrain_file.h"
#include "world/unit_class_file.h"
#include "world/world.h"

namespace {

constexpr size_t kScenarioNameChars = 39;
// The flags the editor clears after any load.
constexpr uint32_t kEditorClearedFlags = 0x1 | 0x10;

std::string OrDefault(const char* name) { return name && *name ? name : "DEFAULT"; }

}  // namespace

int32_t LoadScenarioFiles(ScreenManager* ui) {
  World& w = g_world;
  const std::string name = FieldText(w.gameState.scenarioName);
  const ScenarioSettings& s = w.scenario;
  plat::Status status = ReadGamFile(w, name);
  if (plat::Succeeded(status)) status = ReadMapFile(w, name);
  // Each table file is named by the scenario just read.
  using Reader = plat::Status (*)(World&, std::string_view);
  const Reader readers[] = {ReadUniFile, [](World& world, std::string_view n) { return ReadPplFile(world, n); },
                            ReadTtrFile, ReadTerFile};
  const char* const* names[] = {&s.unifile, &s.pplfile, &s.ttrfile, &s.terfile};
  for (size_t i = 0; i < std::size(readers) && plat::Succeeded(status); ++i)
    status = readers[i](w, OrDefault(*names[i]));
  if (plat::Succeeded(status)) CheckUnitsAfterLoad(w, LoadSource::kScenario);
  if (ui && ui->mode == kUiMapEditor) w.scenario.head.gameFlags &= ~kEditorClearedFlags;
  return status;
}

int32_t SaveScenarioFiles(const char* name) {
  World& w = g_world;
  const std::string_view given = name ? std::string_view(name) : std::string_view();
  SetFieldText(w.gameState.scenarioName, given.substr(0, std::min(given.size(), kScenarioNameChars)));
  ResyncCommands(w);
  const std::string saved = FieldText(w.gameState.scenarioName);
  const plat::Status map = WriteMapFile(w, saved);
  const plat::Status game = WriteGamFile(w, saved);
  return static_cast<int32_t>(static_cast<uint32_t>(map) | static_cast<uint32_t>(game));
}
