#pragma once
// Sync-check entries: once a turn, in a network game, each peer reduces
// parts of its state to byte checksums; a peer that is not the host sends
// them as command 0x8001 and the receiving side compares them with its own.
// Every sum covers record images with their pointer words counted as zero,
// so peers whose records sit at different addresses agree.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

struct World;

enum SyncEntryType : int {
  kSyncCells = 0,    // one byte a map cell: its cell word
  kSyncEmpty = 1,    // always empty
  kSyncUnits = 2,    // one byte a live unit on the map, at most kMaxSyncUnits
  kSyncPlayers = 3,  // six bytes a player 0..31
  kSyncSpotting = 4, // one byte a map cell: its 32 bytes of the spotting map
  kSyncUnused = 5,   // never built
  kSyncEntryTypes
};

inline constexpr size_t kMaxSyncUnits = 10000;
inline constexpr size_t kSyncBytesPerPlayer = 6;

// The types the peers exchange and compare: every type that holds entries.
inline constexpr std::array<int, 4> kSyncExchanged = {kSyncCells, kSyncUnits, kSyncPlayers, kSyncSpotting};
bool IsSyncExchanged(int type);

struct SyncEntries {
  std::array<std::vector<uint8_t>, kSyncEntryTypes> buffers;
  uint32_t stamp = 0;  // the tick they were computed at
  bool built = false;  // the exchanged types were built at the stamp
  uint32_t tooLargeShown = 0;  // one bit a type: its entries outgrew a command, and the log says so
};

// The entries of the game world (one set for the run).
extern SyncEntries g_syncEntries;
SyncEntries& SyncEntriesOf(World& world);

// The sum of `count` bytes.
uint32_t ByteSum(const uint8_t* bytes, size_t count);

// Builds one entry's checksum bytes into `out`; returns their number.
size_t BuildSyncEntry(World& world, int type, std::vector<uint8_t>& out);

// Network games only: stamps the entries with the current tick and builds
// the exchanged types; a peer that is not the host sends each as command
// 0x8001 unless noSend is set. Entries larger than a command's payload
// (the cells or spotting of a very large map) are not sent, and the log
// says so once. Called by the turn loop after each turn's days.
void ComputeSyncEntries(World& world, bool noSend);

// Posts a command of the local player, due at the current tick plus the
// lead, with the two words and a copy of the payload, sending it to the peers.
void PostSyncCommand(World& world, uint32_t id, uint32_t arg28, uint32_t arg32, const uint8_t* payload,
                     size_t payloadLength);
