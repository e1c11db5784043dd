#include "world/scenario_load.h"

#include <iterator>
#include <string_view>

#include "platform/paths.h"
#include "platform/status.h"
#include "records/text_field.h"
#include "world/data_file_io.h"
#include "world/game_file.h"
#include "world/map_file.h"
#include "world/map_folders.h"
#include "world/people_file.h"
#include "world/post_load.h"
#include "world/tech_file.h"
#include "world/terrain_file.h"
#include "world/text/scenario_def.h"
#include "world/unit_class_file.h"
#include "world/world.h"

namespace {

struct Failure {
  std::string* error;
  int32_t operator()(const std::string& what) const {
    if (error) *error = what;
    return plat::kFail;
  }
};

// Judged by the file's size, before anything is read.
bool Readable(const std::string& path, const Failure& fail) {
  const std::string why = plat::FileReadRefusal(path);
  if (why.empty()) return true;
  fail(path + ": " + why);
  return false;
}

}  // namespace

int32_t LoadScenarioFileSequence(World& w, const std::string& name, std::string* error) {
  const Failure fail{error};
  // The editor's scenarios and custom ones keep their definitions with
  // their files, where the definition reader looks too.
  const std::string definition = std::string(ScenarioDirectory(nullptr, ReadsCustomFolder())) + name + ".GMC";
  if (!Readable(definition, fail)) return plat::kFail;
  if (LoadScenarioDef(w, nullptr, name.c_str()) < 0) return fail(definition + ": the scenario definition cannot be read");
  const ScenarioSettings& s = w.scenario;
  const std::string game = s.gamfile ? s.gamfile : "";
  std::string why;
  {
    const std::string path = GameReadPath(game);
    if (!Readable(path, fail)) return plat::kFail;
    // Parsed aside first, so that a bad file leaves the world as it was.
    const auto bytes = plat::ReadFileBytes(path);
    if (!bytes) return fail(path + ": the file cannot be read");
    const StagedGamePtr staged = StageGameImage(*bytes, false, why);
    if (!staged) return fail(path + ": " + why);
    // Its units are judged by the classes read after it, when they can be
    // read (when not, that read refuses the scenario).
    std::vector<UnitClassRecord> classes;
    if (StageUniFile(s.unifile && *s.unifile ? s.unifile : "DEFAULT", classes) &&
        !CheckStagedUnitsAgainstClasses(*staged, classes, why))
      return fail(path + ": " + why);
    if (ReadGamFile(w, game) < 0) return fail(path + ": the game file cannot be loaded");
  }
  {
    const std::string path = MapReadPath(game);
    if (!Readable(path, fail)) return plat::kFail;
    const auto bytes = plat::ReadFileBytes(path);
    if (!bytes) return fail(path + ": the file cannot be read");
    if (!StageMapImage(*bytes, [](uint32_t) -> UnitRecord* { return nullptr; }, why))
      return fail(path + ": " + why);
    if (ReadMapFile(w, game) < 0) return fail(path + ": the map file cannot be loaded");
  }
  const struct {
    const char* file;
    const char* extension;
    plat::Status (*read)(World&, std::string_view);
    const char* what;
  } kTables[] = {{s.unifile, ".UNI", ReadUniFile, "unit-class"},
                 {s.pplfile, ".PPL", [](World& world, std::string_view n) { return ReadPplFile(world, n); }, "people"},
                 {s.ttrfile, ".TTR", ReadTtrFile, "technology"},
                 {s.terfile, ".TER", ReadTerFile, "terrain"}};
  for (const auto& table : kTables) {
    const std::string file = table.file && *table.file ? table.file : "DEFAULT";
    const std::string path = DataFileReadPath(file, table.extension);
    if (!Readable(path, fail)) return plat::kFail;
    if (table.read(w, file) < 0) return fail(path + ": not a valid " + table.what + " file");
  }
  CheckUnitsAfterLoad(w, LoadSource::kScenario);
  (void)AfterLoadStep(w, name.c_str());
  SetFieldText(w.gameState.scenarioName, name);
  return plat::kOk;
}
