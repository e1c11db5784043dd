#include "sim/sync_entries.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

#include "app/app_object.h"
#include "app/log.h"
#include "sim/command_log.h"
#include "sim/game_command.h"
#include "net/command_network.h"
#include "sim/command_post.h"
#include "records/unit_record.h"
#include "world/world.h"

SyncEntries g_syncEntries;

namespace {

constexpr size_t kUnitSumFrom = 12;   // the bytes after the unit's list links
constexpr size_t kUnitSumBytes = 136;

// A stretch of a record that holds a pointer word: counted as zero.
struct Hole {
  size_t at;
  size_t count;
};

// The byte sum of record bytes [from, from + count), the holes counted as zero.
uint32_t SumWithHoles(const uint8_t* record, size_t from, size_t count, std::initializer_list<Hole> holes) {
  uint32_t sum = ByteSum(record + from, count);
  for (const Hole& hole : holes) {
    const size_t begin = std::max(hole.at, from);
    const size_t end = std::min(hole.at + hole.count, from + count);
    if (begin < end) sum -= ByteSum(record + begin, end - begin);
  }
  return sum;
}

void BuildCells(const World& world, std::vector<uint8_t>& out) {
  out.reserve(world.cells.size());
  for (const HexCell& cell : world.cells) {
    const uint32_t w = cell.word;
    out.push_back(static_cast<uint8_t>((w & 0xFF) + ((w >> 8) & 0xFF) + ((w >> 16) & 0xFF) + (w >> 24)));
  }
}

void BuildUnits(World& world, std::vector<uint8_t>& out) {
  WorldLockGuard hold(world, kLockUnits);
  UnitRecord* head = world.units;
  for (UnitRecord* unit = head; unit && out.size() < kMaxSyncUnits;) {
    const bool onMap = unit->x != 0 || unit->y != 0;
    if (IsUnitLive(*unit) && onMap && !(unit->unitFlags & kUnitProvisional) && unit->strength != 0.0f) {
      const auto* image = reinterpret_cast<const uint8_t*>(static_cast<const UnitImage*>(unit));
      out.push_back(static_cast<uint8_t>(ByteSum(image + kUnitSumFrom, kUnitSumBytes)));
    }
    unit = unit->next;
    if (unit == head) break;
  }
}

void BuildPlayers(const World& world, std::vector<uint8_t>& out) {
  constexpr size_t kSim = offsetof(PlayerRecord, simPolicy);
  constexpr size_t kPointer48 = offsetof(PlayerRecord, pointerSlot48);
  constexpr size_t kPolicy12 = kSim + offsetof(PlayerPolicyBlock, pointerSlot12);
  constexpr size_t kPolicy4900 = kSim + offsetof(PlayerPolicyBlock, pointerSlots4900);
  out.reserve(kMaxPlayers * kSyncBytesPerPlayer);
  for (const PlayerRecord& player : world.players) {
    const auto* r = reinterpret_cast<const uint8_t*>(&player);
    const uint32_t sums[kSyncBytesPerPlayer] = {
        SumWithHoles(r, 0, 120, {{kPointer48, 4}}),
        SumWithHoles(r, kSim, sizeof(PlayerPolicyBlock), {{kPolicy12, 4}, {kPolicy4900, 12}}),
        ByteSum(r + 10168, 564),
        ByteSum(r + 10732, 1152),
        ByteSum(r + 11884, 428),
        ByteSum(r + 10168, 108),
    };
    for (uint32_t sum : sums) out.push_back(static_cast<uint8_t>(sum));
  }
}

void BuildSpotting(const World& world, std::vector<uint8_t>& out) {
  if (world.spottingMap.size() != world.cells.size() * kMaxPlayers) return;
  out.reserve(world.cells.size());
  for (size_t i = 0; i < world.cells.size(); ++i)
    out.push_back(static_cast<uint8_t>(ByteSum(world.spottingMap.data() + i * kMaxPlayers, kMaxPlayers)));
}

}  // namespace

// One set for the run, like the other network state the world keeps.
SyncEntries& SyncEntriesOf(World&) { return g_syncEntries; }

uint32_t ByteSum(const uint8_t* bytes, size_t count) {
  uint32_t sum = 0;
  for (size_t i = 0; i < count; ++i) sum += bytes[i];
  return sum;
}

size_t BuildSyncEntry(World& world, int type, std::vector<uint8_t>& out) {
  out.clear();
  switch (type) {
    case kSyncCells: BuildCells(world, out); break;
    case kSyncUnits: BuildUnits(world, out); break;
    case kSyncPlayers: BuildPlayers(world, out); break;
    case kSyncSpotting: BuildSpotting(world, out); break;
    default: break;  // 1 is empty, 5 is not built
  }
  return out.size();
}

bool IsSyncExchanged(int type) {
  return std::find(kSyncExchanged.begin(), kSyncExchanged.end(), type) != kSyncExchanged.end();
}

void ComputeSyncEntries(World& world, bool noSend) {
  if (!IsNetworkGame(g_commandNet)) return;
  SyncEntries& entries = SyncEntriesOf(world);
  entries.stamp = world.gameState.currentTick;
  entries.built = true;
  for (int type : kSyncExchanged) {
    std::vector<uint8_t>& buffer = entries.buffers[static_cast<size_t>(type)];
    BuildSyncEntry(world, type, buffer);
    if (g_commandNet.role == kNetGameHost || noSend) continue;
    if (buffer.size() > kMaxCommandPayload) {
      const uint32_t bit = 1u << type;
      if (!(entries.tooLargeShown & bit))
        LogWrite(g_platform, "Sync check: type %d has %zu entries, more than a command carries; not sent\n", type,
                 buffer.size());
      entries.tooLargeShown |= bit;
      continue;
    }
    PostSyncCommand(world, kCmdSyncCheck, static_cast<uint32_t>(type), entries.stamp, buffer.data(), buffer.size());
  }
}

void PostSyncCommand(World& world, uint32_t id, uint32_t arg28, uint32_t arg32, const uint8_t* payload,
                     size_t payloadLength) {
  CommandLog* log = CommandLogOf(world);
  if (!log) return;
  GameCommand c = MakeGameCommand(world.gameState, id, world.gameState.localPlayer);
  c.arg24 = 0;
  c.arg28 = arg28;
  c.arg32 = arg32;
  if (payload && payloadLength) c.payload.assign(payload, payload + payloadLength);
  c.payloadLength = static_cast<uint32_t>(c.payload.size());
  PostCommand(*log, std::move(c), true);
}
