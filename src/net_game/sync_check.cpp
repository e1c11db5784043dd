#include "net_game/sync_check.h"

#include <string>

#include "app/app_object.h"
#include "app/log.h"
#include "app/program_version.h"
#include "net/game_messages.h"
#include "net/net_session.h"
#include "net/text_message.h"
#include "records/le_bytes.h"
#include "sim/sync_entries.h"
#include "world/game_speed.h"
#include "records/net_slot.h"
#include "world/world.h"
#include "platform/paths.h"
#include "records/text_field.h"
#include "world/data_checksum.h"
#include "world/map_folders.h"
#include "world/text/player_settings.h"
#include "world/text/scenario_def.h"

std::atomic<bool> g_syncErrorPause{false};

namespace {

// A line from the local player to every player, this one included.
void AnnounceToAll(NetSession& session, int32_t sender, const char* text) {
  TextMessage line;
  TextMessageCtor(line, sender, kTextToAll, text);
  (void)SendTextMessage(session, line, true);
  TextMessageDtor(line);
}

void AnnounceSyncError(World& world) {
  if (g_syncErrorPause.load()) SetGameSpeed(world.gameState, 0);
  AnnounceToAll(g_netSession, world.gameState.localPlayer, "Sync Error - Game Paused.");
}

}  // namespace

std::array<uint8_t, 48> EncodeSyncInfo(const SyncInfo& info) {
  std::array<uint8_t, 48> out{};
  const uint32_t words[12] = {info.gameSum,    info.scenarioId, info.mapSum,  info.peopleSum,
                              info.unitSum,    info.terrainSum, info.techSum, info.saveSum,
                              info.major,      info.minor,      info.build,   info.stateWord};
  for (size_t i = 0; i < 12; ++i) le::Store32(out.data() + 4 * i, words[i]);
  return out;
}

SyncInfo DecodeSyncInfo(const uint8_t* b) {
  SyncInfo i;
  uint32_t* fields[12] = {&i.gameSum, &i.scenarioId, &i.mapSum,  &i.peopleSum, &i.unitSum, &i.terrainSum,
                          &i.techSum, &i.saveSum,    &i.major,   &i.minor,     &i.build,   &i.stateWord};
  for (size_t k = 0; k < 12; ++k) *fields[k] = le::Load32(b + 4 * k);
  return i;
}

SyncInfo LocalSyncInfo(const World& world, bool savedGame) {
  SyncInfo info;
  info.major = kProgramVersionMajor;
  info.minor = kProgramVersionMinor;
  info.build = kProgramVersionBuild;
  info.stateWord = world.scenario.head.gameFlags;
  if (savedGame) {
    info.saveSum = world.saveHeader.checksum;
  } else {
    info.gameSum = world.gameState.checksum;
    info.mapSum = world.mapHeader.checksum;
    info.peopleSum = world.peopleHeader.checksum;
  }
  // Another definition or rule table plays another game as surely as
  // another map: a difficulty or one cell of a table is enough.
  if (!savedGame) info.scenarioId = SharedRulesChecksum(world);
  info.unitSum = world.unitClassHeader.checksum;
  info.terrainSum = world.terrainHeader.checksum;
  info.techSum = world.techHeader.checksum;
  return info;
}

uint32_t SharedRulesChecksum(const World& world) {
  std::vector<std::string> paths;
  const std::string scenario = FieldText(world.gameState.scenarioName);
  if (!scenario.empty()) paths.push_back(std::string(ScenarioDirectory(nullptr, ReadsCustomFolder())) + scenario + ".GMC");
  const char* playset = world.scenario.playsetfile;
  paths.push_back(std::string(kPlayerSetDirectory) + (playset && *playset ? playset : "Default") + ".INI");
  // The tables LoadStartupRuleTables reads, and the economy's constants.
  static constexpr const char* kIniTables[] = {"deptprior", "cabinetconcerns", "techtreeeffects", "newsitems",
                                               "orders",    "training",        "rtreaties",       "wtreaties",
                                               "wmvotes",   "CVars2"};
  for (const char* table : kIniTables) paths.push_back(std::string("INI\\") + table + ".CSV");
  paths.push_back("AI\\AIparams.CSV");
  uint32_t sum = 2166136261u;
  for (const std::string& path : paths) {
    const auto bytes = plat::ReadFileBytes(path);
    const uint32_t file = bytes ? DataFileChecksum(bytes->data(), bytes->size()) : 0;
    for (int i = 0; i < 4; ++i) sum = (sum ^ ((file >> (8 * i)) & 0xFFu)) * 16777619u;
  }
  return sum;
}

void NetSendSyncInfo(NetSession& session, const World& world, bool savedGame) {
  const std::array<uint8_t, 48> record = EncodeSyncInfo(LocalSyncInfo(world, savedGame));
  SessionMessage* m = BuildNetMessage(kSmSyncInfo, record.data(), kSyncInfoSize, world.gameState.currentTick,
                                      static_cast<uint8_t>(world.gameState.localPlayer));
  if (!m) return;
  if (session.inSession) (void)SendNetMessage(session, *m, 0);
  FreeNetMessage(m);
}

std::vector<const char*> NetSyncCheck(NetSession& session, const SyncInfo& theirs, const World& world) {
  return CompareSyncInfo(session, theirs, LocalSyncInfo(world, theirs.saveSum != 0), world.gameState.localPlayer);
}

std::vector<const char*> CompareSyncInfo(NetSession& session, const SyncInfo& theirs, const SyncInfo& ours,
                                         int32_t local) {
  std::vector<const char*> found;
  auto check = [&](bool differs, const char* text) {
    if (!differs) return;
    AnnounceToAll(session, local, text);
    found.push_back(text);
  };
  check(theirs.major != ours.major || theirs.minor != ours.minor || theirs.build != ours.build,
        "Sync Error: Different Game Versions.");
  if (theirs.saveSum != 0) {
    check(theirs.saveSum != ours.saveSum, "Sync Error: Mismatched Save Game File.");
  } else {
    check(theirs.gameSum != ours.gameSum, "Sync Error: Mismatched GAM File.");
    check(theirs.scenarioId != ours.scenarioId, "Sync Error: Mismatched SCN File.");
    check(theirs.mapSum != ours.mapSum, "Sync Error: Mismatched MAP File.");
    check(theirs.peopleSum != ours.peopleSum, "Sync Error: Mismatched PPL File.");
  }
  check(theirs.unitSum != ours.unitSum, "Sync Error: Mismatched UNI File.");
  check(theirs.terrainSum != ours.terrainSum, "Sync Error: Mismatched TER File.");
  check(theirs.techSum != ours.techSum, "Sync Error: Mismatched TTR File.");
  return found;
}

int LaggingSlot(const World& world) {
  const uint32_t tick = world.gameState.currentTick;
  const uint32_t lead = world.gameState.commandLead;
  // Early in the game every peer is within the lead by definition.
  if (!(tick > lead - 2)) return -1;
  for (int s = 0; s < kMaxPlayers; ++s) {
    const NetSlot& slot = world.slotTable[s];
    if (slot.state == kSlotHuman && slot.progress < tick - lead + 2) return s;
  }
  return -1;
}

bool CheckPlayersState(const World& world, bool networked) { return !networked || LaggingSlot(world) < 0; }

void ToggleSyncErrorPause(NetSession& session) {
  const bool on = !g_syncErrorPause.load();
  g_syncErrorPause.store(on);
  QueueTextMessage2(session, "%s", on ? "Sync Error Pause On" : "Sync Error Pause Off");
}

void CheckSyncEntries(World& world, int player, uint32_t arg32, uint32_t arg28, std::vector<uint8_t> payload) {
  if (player == world.gameState.localPlayer) return;
  if (arg28 >= static_cast<uint32_t>(kSyncEntryTypes)) return;
  const int type = static_cast<int>(arg28);
  // A type this process never builds has nothing to compare with.
  if (!IsSyncExchanged(type)) return;
  const SyncEntries& entries = SyncEntriesOf(world);
  // Entries of another tick are not ours to compare with: the peers build
  // theirs at the same turn end, so this is a peer out of step, not a
  // difference of state (an empty buffer of the right tick is compared).
  if (!entries.built || entries.stamp != arg32) {
    LogWrite(g_platform, "Sync check - From Player %d, Type %d: entries of tick %u, ours of tick %u; not compared\n",
             player, type, arg32, entries.built ? entries.stamp : 0u);
    CloseLogFile(g_platform);
    return;
  }
  const std::vector<uint8_t>& ours = entries.buffers[arg28];
  if (ours.size() != payload.size()) {
    AnnounceSyncError(world);
    LogWrite(g_platform, "Sync Error - From Player %d, Type %d, ourentries: %d, theirentries: %d\n", player, type,
             static_cast<int>(ours.size()), static_cast<int>(payload.size()));
  } else {
    for (size_t i = 0; i < ours.size(); ++i) {
      if (ours[i] == payload[i]) continue;
      AnnounceSyncError(world);
      LogWrite(g_platform, "Sync Error in Entry - From Player %d, Type %d, Entry # %d (our checksum %d, theirs %d)\n",
               player, type, static_cast<int>(i), static_cast<int>(ours[i]), static_cast<int>(payload[i]));
    }
  }
  // The lines reach the disk now; the log opens again on its next line.
  CloseLogFile(g_platform);
}
