#pragma once
// The checks that keep the peers of a network game honest: the
// compatibility record a joining peer sends (version and loaded files), the
// progress check that holds the clock for a lagging peer, and the
// comparison of a peer's sync-check entries (command 0x8001, simulation
// pass) with this process's own.
#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

struct World;
struct NetSession;

// The 48-byte compatibility record of session message 101, in its fields.
struct SyncInfo {
  uint32_t gameSum = 0;      // 0: the game came from a saved game
  uint32_t scenarioId = 0;   // the scenario definition and the rule tables (SharedRulesChecksum)
  uint32_t mapSum = 0;
  uint32_t peopleSum = 0;
  uint32_t unitSum = 0;
  uint32_t terrainSum = 0;
  uint32_t techSum = 0;
  uint32_t saveSum = 0;      // 0: the game came from a scenario
  uint32_t major = 0, minor = 0, build = 0;
  uint32_t stateWord = 0;    // not compared
};

std::array<uint8_t, 48> EncodeSyncInfo(const SyncInfo& info);
SyncInfo DecodeSyncInfo(const uint8_t* bytes);  // 48 bytes

// This process's record: the loaded files' checksums and the version.
SyncInfo LocalSyncInfo(const World& world, bool savedGame);
// One checksum of what else both peers must read alike: the scenario's
// definition (.GMC) and player settings, and the rule tables the game reads
// at start-up (INI\*.CSV, AI\AIparams.CSV). A file that cannot be read
// counts as empty.
uint32_t SharedRulesChecksum(const World& world);

// Sends this process's record to every peer as session message 101.
void NetSendSyncInfo(NetSession& session, const World& world, bool savedGame);
// Compares a peer's record with this process's; each mismatch is one line
// to all players. Returns those lines (none when the two agree).
std::vector<const char*> NetSyncCheck(NetSession& session, const SyncInfo& theirs, const World& world);
// The same comparison with a record of this side's made otherwise; the
// lines are sent from the local player.
std::vector<const char*> CompareSyncInfo(NetSession& session, const SyncInfo& theirs, const SyncInfo& ours,
                                         int32_t local);

// The minute loop's progress check: false while a person's peer has not
// reported within the command lead of the current tick. Always true outside
// a networked game. The caller holds the session's slot lock: the network
// threads write the slots' progress as the peers report.
bool CheckPlayersState(const World& world, bool networked);
// The first slot whose person's peer holds the clock so, or -1.
int LaggingSlot(const World& world);

// Whether a sync error pauses the game (a key toggles it).
extern std::atomic<bool> g_syncErrorPause;
// Toggles it and announces the new state to the local player.
void ToggleSyncErrorPause(NetSession& session);

// Compares the entries carried in the payload, sent by `player` for the
// tick (arg32) and type (arg28), with the local ones; takes the payload.
void CheckSyncEntries(World& world, int player, uint32_t arg32, uint32_t arg28, std::vector<uint8_t> payload);
