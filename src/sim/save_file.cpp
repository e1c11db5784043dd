#include "sim/save_file.h"

#include <cstring>

#include "app/app_object.h"
#include "app/log.h"
#include "platform/paths.h"
#include "world/command_log_access.h"
#include "world/data_checksum.h"
#include "world/data_file_io.h"
#include "world/game_file.h"
#include "world/game_speed.h"
#include "world/map_file.h"
#include "world/people_file.h"
#include "world/post_load.h"
#include "world/record_figures_check.h"
#include "world/save_extension.h"
#include "records/crc32.h"
#include "records/le_bytes.h"
#include "records/unit_table_arrays.h"
#include "world/terrain_file.h"
#include "world/tech_file.h"
#include "sim/scenario_players.h"
#include "sim/simulation_lock.h"
#include "platform/threads.h"
#include "world/text/scenario_def.h"
#include "world/text/scenario_text.h"
#include "records/text_field.h"
#include "world/unit_class_file.h"
#include "world/world.h"

SaveFileWriter g_saveFileWriter = plat::WriteFileReplacing;

namespace {

constexpr size_t kSnapshotPartSize = kSnapshotRecords * kSnapshotSlot;

std::string Named(const char* pattern, std::string_view scenario) {
  std::string name = pattern;
  name += scenario;
  return name;
}

// The parts of a save image, checked against the file.
struct SaveParts {
  SaveHeader header{};
  std::span<const uint8_t> game;
  std::span<const uint8_t> map;
  std::span<const uint8_t> people;
  std::span<const uint8_t> snapshot;
  std::span<const uint8_t> extension;
};

bool SplitSave(std::span<const uint8_t> file, bool gameOnly, SaveParts& parts, std::string& why) {
  if (file.size() < kSaveHeaderBlock) {
    why = "shorter than its header";
    return false;
  }
  SaveHeader& h = parts.header;
  std::memcpy(&h, file.data(), sizeof h);
  const uint64_t size = file.size();
  const uint64_t g = h.gamePartOffset, m = h.mapPartOffset, p = h.peoplePartOffset, s = h.snapshotPartOffset;
  if (gameOnly) {
    if (g < kSaveHeaderBlock || g >= size) {
      why = "its game part lies outside the file";
      return false;
    }
    parts.game = file.subspan(g, (m > g && m <= size ? m : size) - g);
    return true;
  }
  if (!(kSaveHeaderBlock <= g && g < m && m < p && p <= size)) {
    why = "its parts lie outside the file or out of order";
    return false;
  }
  const uint64_t e = h.extensionOffset;
  // A section holds at least one block head.
  if (e && (e < p || e >= size || size - e < 8 || (s && e < s + kSnapshotPartSize))) {
    why = "its extension section lies outside the file";
    return false;
  }
  const uint64_t end = e ? e : size;
  const uint64_t peopleEnd = s ? s : end;
  if (s && (s < p || s > end || end - s < kSnapshotPartSize)) {
    why = "its snapshot part lies outside the file";
    return false;
  }
  parts.game = file.subspan(g, m - g);
  parts.map = file.subspan(m, p - m);
  parts.people = file.subspan(p, peopleEnd - p);
  if (s) parts.snapshot = file.subspan(s, kSnapshotPartSize);
  if (e) parts.extension = file.subspan(e);
  return true;
}


void LogRefusedSave(const std::string& path, const std::string& why) {
  LogWrite(g_platform, "Save game %s refused: %s.\n", path.c_str(), why.c_str());
}

// A save that carries a checksum must match it; the block must be the last.
constexpr const char* kChecksumMismatch = "the file was changed or damaged after it was saved (its checksum does not match)";

bool ChecksumHolds(std::span<const uint8_t> file, const std::vector<SaveExtensionBlock>& blocks, std::string& why) {
  for (size_t i = 0; i < blocks.size(); ++i) {
    if (blocks[i].tag != kSaveBlockChecksum) continue;
    if (i + 1 != blocks.size() || blocks[i].payload.size() != 4) {
      why = "extension section: its checksum block is misplaced";
      return false;
    }
    const size_t head = static_cast<size_t>(blocks[i].payload.data() - file.data()) - 8;
    if (Crc32(file.first(head)) != le::Load32(blocks[i].payload.data())) {
      why = kChecksumMismatch;
      return false;
    }
    return true;
  }
  // No checksum among the blocks: a save from before there was one, or one
  // whose damage hides it. A header whose extension offset was struck out or
  // moved still leaves the checksum at the file's end, and it covers the
  // header; a checksum block whose tag was struck leaves the section ending
  // in a block no writer ends it with.
  const size_t size = file.size();
  if (size >= 12 && le::Load32(file.data() + size - 12) == kSaveBlockChecksum && le::Load32(file.data() + size - 8) == 4 &&
      Crc32(file.first(size - 12)) != le::Load32(file.data() + size - 4)) {
    why = kChecksumMismatch;
    return false;
  }
  if (!blocks.empty()) {
    const uint32_t last = blocks.back().tag;
    if (last != kSaveBlockRouteSteps && last != kSaveBlockUnitTables && last != kSaveBlockComputerPlayers &&
        last != kSaveBlockSpottingMap && last != kSaveBlockContactMasks) {
      why = "extension section: it ends in a block of no known kind, where its checksum belongs";
      return false;
    }
  }
  return true;
}

// A save image read and checked whole, apart from the world.
struct StagedSave {
  SaveParts parts;
  StagedGamePtr game;
  StagedMapPtr map;
  std::vector<SavedTableArray> savedTables;
  std::vector<uint8_t> spotting;
  std::span<const uint8_t> workers;
  std::span<const uint8_t> contacts;
  std::vector<PlayerRecord> snapshotTable;
};

// The snapshot records are region records as the game part's are, and a
// campaign's next scenario carries one into play: their figures pass the
// same checks.
bool StageSnapshot(std::span<const uint8_t> part, std::vector<PlayerRecord>& table, std::string& why) {
  if (part.empty()) return true;
  table.resize(kSnapshotRecords);
  for (size_t i = 0; i < kSnapshotRecords; ++i) {
    std::memcpy(static_cast<void*>(&table[i]), part.data() + i * kSnapshotSlot, sizeof(PlayerRecord));
    std::string which;
    if (!RegionFiguresInRange(table[i], which)) {
      why = "snapshot part: record " + std::to_string(i) + ": its " + which;
      return false;
    }
  }
  return true;
}

// Every check a load makes, the world left as it is; false with the reason.
// The units are judged by the classes they will play with: a save being
// written by those in play, a save being loaded by those of the unit file
// its map names (read after it, as the save does not hold them), or by
// those in play when that file cannot be read.
bool StageSave(World& world, std::span<const uint8_t> file, StagedSave& staged, std::string& why,
               bool writing = false) {
  SaveParts& parts = staged.parts;
  if (!SplitSave(file, false, parts, why)) return false;
  // Damage is named as damage before any part is judged on its own.
  std::vector<SaveExtensionBlock> blocks;
  if (!SplitSaveExtension(parts.extension, blocks, why)) {
    why = "extension section: " + why;
    return false;
  }
  if (!ChecksumHolds(file, blocks, why)) return false;
  if (!CheckPplImage(parts.people, why)) {
    why = "people part: " + why;
    return false;
  }
  staged.game = StageGameImage(parts.game, false, why);
  if (!staged.game) {
    why = "game part: " + why;
    return false;
  }
  const StagedGame& stagedGame = *staged.game;
  staged.map = StageMapImage(parts.map, [&stagedGame](uint32_t id) { return FindStagedUnit(stagedGame, id); }, why);
  if (!staged.map) {
    why = "map part: " + why;
    return false;
  }
  if (!CheckStagedGameOnMap(stagedGame, StagedMapHeader(*staged.map), StagedMapCells(*staged.map), why)) {
    why = "game part against the map part: " + why;
    return false;
  }
  {
    std::vector<UnitClassRecord> classes;
    const bool read = !writing && StageUniFile(FieldText(StagedMapHeader(*staged.map).unitFileName), classes);
    if (!CheckStagedUnitsAgainstClasses(stagedGame, read ? classes : world.unitClasses, why)) {
      why = "game part: " + why;
      return false;
    }
  }
  if (!StageSnapshot(parts.snapshot, staged.snapshotTable, why)) return false;
  for (const SaveExtensionBlock& block : blocks) {
    const auto find = [&stagedGame](uint32_t id) { return FindStagedUnit(stagedGame, id); };
    bool sound = true;
    if (block.tag == kSaveBlockRouteSteps)
      sound = ApplyRouteSteps(block.payload, find, why);
    else if (block.tag == kSaveBlockUnitTables)
      sound = ReadUnitTablesBlock(block.payload, find, staged.savedTables, why);
    else if (block.tag == kSaveBlockSpottingMap)
      sound = ReadSpottingMapBlock(block.payload, StagedMapCellCount(*staged.map), staged.spotting, why);
    else if (block.tag == kSaveBlockComputerPlayers && g_computerPlayerSaveHook.read)
      sound = g_computerPlayerSaveHook.read(world, staged.workers = block.payload, false, why);
    else if (block.tag == kSaveBlockContactMasks && g_contactMaskSaveHook.read)
      sound = g_contactMaskSaveHook.read(world, staged.contacts = block.payload, false, why);
    // Any other tag is a later version's state.
    if (!sound) {
      why = "extension section: " + why;
      return false;
    }
  }
  return true;
}

}  // namespace

std::string AutoSaveName(std::string_view scenario) { return Named("AutoSave-", scenario); }
std::string CampaignSaveName(std::string_view scenario) { return Named("Campaign-", scenario); }
std::string CampaignAutoSaveName(std::string_view scenario) { return Named("AutosaveC-", scenario); }

std::string SaveGamePath(std::string_view name, const char* folder) {
  std::string path = folder ? folder : g_app.saveGamePath;
  path += name;
  path += ".SAV";
  return path;
}

std::vector<uint8_t> BuildSaveImage(World& world) {
  std::vector<PendingCommandImage> logged;
  if (g_commandLogAccess.collect) logged = g_commandLogAccess.collect(world);
  return BuildSaveImage(world, std::move(logged));
}

std::vector<uint8_t> BuildSaveImage(World& world, std::vector<PendingCommandImage> logged) {
  SaveHeader& h = world.saveHeader;
  h = SaveHeader{};
  h.size = kSaveHeaderSize;
  h.version = kSaveVersion;
  h.created = FileStampNow();
  h.saved = h.created;

  // The header block is a placeholder until the parts' offsets are known.
  std::vector<uint8_t> out(kSaveHeaderBlock, 0);
  std::memcpy(out.data() + kSaveScenarioHeadAt, &world.scenario.head, sizeof(ScenarioHead));

  h.gamePartOffset = static_cast<uint32_t>(out.size());
  const std::vector<uint8_t> game = BuildGameImage(world, std::move(logged));
  out.insert(out.end(), game.begin(), game.end());
  h.mapPartOffset = static_cast<uint32_t>(out.size());
  const std::vector<uint8_t> map = BuildMapImage(world, true);
  out.insert(out.end(), map.begin(), map.end());
  h.peoplePartOffset = static_cast<uint32_t>(out.size());
  const std::vector<uint8_t> people = BuildPplImage(world);
  out.insert(out.end(), people.begin(), people.end());
  if (!world.snapshotTable.empty()) {
    h.snapshotPartOffset = static_cast<uint32_t>(out.size());
    const size_t at = out.size();
    out.resize(at + kSnapshotPartSize, 0);
    for (size_t i = 0; i < kSnapshotRecords && i < world.snapshotTable.size(); ++i)
      std::memcpy(out.data() + at + i * kSnapshotSlot, &world.snapshotTable[i], sizeof(PlayerRecord));
  }

  // The section always holds at least the checksum block.
  const std::vector<uint8_t> extension = BuildSaveExtension(world);
  h.extensionOffset = static_cast<uint32_t>(out.size());
  out.insert(out.end(), extension.begin(), extension.end());

  // The header block again, now with the offsets; the checksum last, over
  // everything before it.
  std::memcpy(out.data(), &h, sizeof h);
  const uint32_t crc = Crc32(out);
  const size_t at = out.size();
  out.resize(at + 12);
  le::Store32(out.data() + at, kSaveBlockChecksum);
  le::Store32(out.data() + at + 4, 4);
  le::Store32(out.data() + at + 8, crc);
  return out;
}

plat::Status SaveGame(World& world, std::string_view name, std::string* refusal) {
  const std::string path = SaveGamePath(name);
  // The simulation lock before any other: the turn thread's autosave holds it
  // when it gets here, and the copy must be of one moment of the game. Then
  // the pending commands: the command-log lock comes before the others.
  std::vector<uint8_t> image;
  {
    plat::CriticalSectionLock simulation(g_simulationLock);
    std::vector<PendingCommandImage> logged;
    if (g_commandLogAccess.collect) logged = g_commandLogAccess.collect(world);
    WorldLockGuard saving(world, kLockFileSave);
    image = BuildSaveImage(world, std::move(logged));
  }
  // What the loader would refuse is not written: the old file stays, and
  // the refusal names the figure, rather than a save that cannot be loaded
  // being reported as saved.
  {
    StagedSave check;
    std::string why;
    if (!StageSave(world, image, check, why, true)) {
      LogWrite(g_platform, "Save game %s not written: it would be refused on loading: %s.\n", path.c_str(), why.c_str());
      if (refusal) *refusal = why;
      return plat::kFail;
    }
  }
  const size_t slash = path.rfind('\\');
  if (slash != std::string::npos) plat::MakeGameDirectories(path.substr(0, slash));
  if (plat::Failed(g_saveFileWriter(path, image.data(), image.size()))) {
    LogWrite(g_platform, "Save game %s could not be written.\n", path.c_str());
    if (refusal) *refusal = "the file could not be written";
    return plat::kFail;
  }
  return plat::kOk;
}

plat::Status LoadSaveGame(World& world, std::string_view name, const char* folder, bool keepScenario,
                          bool reloadScenarioPlayers, std::string* refusal) {
  const std::string path = SaveGamePath(name, folder);
  std::string why;
  const auto file = ReadDataFile(path, &why);
  if (!file) {
    if (refusal) *refusal = why;
    return plat::kFail;
  }
  return LoadSaveImage(world, *file, path, keepScenario, reloadScenarioPlayers, refusal);
}

plat::Status LoadSaveImage(World& world, std::span<const uint8_t> file, const std::string& source, bool keepScenario,
                           bool reloadScenarioPlayers, std::string* refusal) {
  StagedSave staged;
  std::string why;
  if (!StageSave(world, file, staged, why)) {
    LogRefusedSave(source, why);
    if (refusal) *refusal = why;
    return plat::kFail;
  }
  const SaveParts& parts = staged.parts;
  StagedGame& game = *staged.game;
  StagedMap& map = *staged.map;
  std::vector<SavedTableArray>& savedTables = staged.savedTables;
  std::vector<uint8_t>& spotting = staged.spotting;
  const std::span<const uint8_t> workers = staged.workers;
  const std::span<const uint8_t> contacts = staged.contacts;

  // Everything is read: from here on the save replaces the game.
  world.saveHeader = parts.header;
  CommitStagedGame(world, game, std::nullopt);
  world.savedUnitTables = std::move(savedTables);
  if (g_computerPlayerSaveHook.read) (void)g_computerPlayerSaveHook.read(world, workers, true, why);
  if (g_contactMaskSaveHook.read) (void)g_contactMaskSaveHook.read(world, contacts, true, why);
  if (!keepScenario) {
    const std::string scenario = FieldText(world.gameState.scenarioName);
    (void)AfterLoadStep(world, scenario.c_str());
    if (parts.header.version >= kSaveVersion)
      std::memcpy(&world.scenario.head, file.data() + kSaveScenarioHeadAt, sizeof(ScenarioHead));
  }
  CommitStagedMap(world, map, std::nullopt);
  // A save without the block (fog off, or an older save) starts with the
  // map the sighting builds up again.
  world.spottingMap = std::move(spotting);
  (void)ReadPplFile(world, FieldText(world.mapHeader.peopleFileName), parts.people);
  world.snapshotTable = std::move(staged.snapshotTable);
  const uint32_t checksum = DataFileChecksum(file.data(), file.size());
  world.saveHeader.checksum = checksum ? checksum : 1;

  // The rule files are not in the save: they come from the data folders.
  (void)ReadUniFile(world, FieldText(world.mapHeader.unitFileName));
  (void)ReadTtrFile(world, FieldText(world.mapHeader.techFileName));
  (void)ReadTerFile(world, FieldText(world.mapHeader.terrainFileName));
  if (reloadScenarioPlayers) {
    const std::string scenario = FieldText(world.gameState.scenarioName);
    (void)LoadScenarioPlayers(world, nullptr, scenario.c_str());
  }
  if (!g_scenarioText.textLoaded) {
    std::string text = FieldText(world.gameState.scenarioTextName);
    if (text.empty()) text = FieldText(world.gameState.scenarioName);
    (void)LoadScenarioText(world, text.c_str());
  }
  CheckUnitsAfterLoad(world, LoadSource::kSaveGame);
  // A loaded game starts at tier 0 whatever it was saved at: the game is
  // stopped, so the state takes the speed now, and the change goes round
  // the session as every speed change does.
  world.gameState.gameSpeed = GameSpeedOfTier(0);
  SetGameSpeed(world.gameState, 0);
  return plat::kOk;
}

plat::Status ReadSavGamePart(const char* folder, World& world, std::string_view name) {
  const std::string path = SaveGamePath(name, folder);
  const auto file = ReadDataFile(path);
  if (!file) return plat::kFail;
  SaveParts parts;
  std::string why;
  if (!SplitSave(*file, true, parts, why)) {
    LogRefusedSave(path, why);
    return plat::kFail;
  }
  StagedGamePtr game = StageGameImage(parts.game, true, why);
  if (!game) {
    LogRefusedSave(path, "game part: " + why);
    return plat::kFail;
  }
  world.saveHeader = parts.header;
  if (parts.header.version >= kSaveVersion)
    std::memcpy(&world.scenario.head, file->data() + kSaveScenarioHeadAt, sizeof(ScenarioHead));
  CommitStagedGame(world, *game, std::nullopt);
  return plat::kOk;
}
