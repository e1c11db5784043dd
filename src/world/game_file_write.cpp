// Writing the game file: each part is copied under the lock that guards it,
// with its texts and payloads moved into the string pool.
#include <algorithm>
#include <cstring>
#include <string>

#include "app/app_object.h"
#include "app/log.h"
#include "records/unit_record.h"
#include "world/command_log_access.h"
#include "world/data_file_io.h"
#include "world/game_file.h"
#include "world/game_speed.h"
#include "records/le_bytes.h"
#include "world/list_holder.h"
#include "world/list_items.h"
#include "world/world.h"

namespace {

// The string pool: a zero byte first, so offset 0 names nothing.
class Pool {
 public:
  uint32_t AddText(const char* text) {
    if (!text) return 0;
    return AddBytes(reinterpret_cast<const uint8_t*>(text), std::strlen(text) + 1);
  }
  uint32_t AddBytes(const uint8_t* bytes, size_t n) {
    const auto offset = static_cast<uint32_t>(bytes_.size());
    bytes_.insert(bytes_.end(), bytes, bytes + n);
    return offset;
  }
  // Rounded up to 256 bytes with at least one byte of padding; the padding is zeros.
  std::vector<uint8_t> Finish() {
    bytes_.resize((bytes_.size() + 256) & ~size_t{0xFF}, 0);
    return std::move(bytes_);
  }

 private:
  std::vector<uint8_t> bytes_ = std::vector<uint8_t>(1, 0);
};

void AppendWord(std::vector<uint8_t>& out, uint32_t word) {
  uint8_t b[4];
  le::Store32(b, word);
  out.insert(out.end(), b, b + 4);
}

template <typename T>
void AppendImage(std::vector<uint8_t>& out, const T& image) {
  const auto* b = reinterpret_cast<const uint8_t*>(&image);
  out.insert(out.end(), b, b + sizeof image);
}

// The items of a ring behind a head node, in ring order.
template <typename Item, typename Visit>
void ForEachItem(const ListNode& head, Visit visit) {
  for (ListNode* node = head.next(); node && node != &head; node = node->next()) visit(static_cast<Item&>(*node));
}

bool InNetworkGame() { return g_gameSpeedNetwork.inNetworkGame && g_gameSpeedNetwork.inNetworkGame(); }

void AppendUnits(World& world, Pool& pool, std::vector<uint8_t>& out, int32_t& count) {
  WorldLockGuard units(world, kLockUnits);
  count = 0;
  UnitRecord* head = world.units;
  for (UnitRecord* unit = head; unit;) {
    if (!(unit->unitFlags & kUnitGone)) {
      unit->savedSelf = unit->id;
      UnitImage image = *unit;
      image.prevSlot = image.nextSlot = 0;
      image.routeSlot = unit->route ? 1 : 0;
      image.route2Slot = unit->route2 ? 1 : 0;
      image.customNameSlot = pool.AddText(unit->customName.get());
      const size_t at = out.size();
      out.resize(at + kGamUnitSlot, 0);
      std::memcpy(out.data() + at, &image, sizeof image);
      if (unit->route2) {
        PathRequestImage route = *unit->route2;
        route.stepsSlot = 0;
        std::memcpy(out.data() + at + kGamSecondRouteAt, &route, sizeof route);
      }
      if (unit->route) {
        PathRequestImage route = *unit->route;
        route.stepsSlot = 0;
        std::memcpy(out.data() + at + kGamFirstRouteAt, &route, sizeof route);
      }
      ++count;
    }
    unit = unit->next;
    if (unit == head) break;
  }
}

void AppendRecurring(const World& world, std::vector<uint8_t>& out, int32_t& count) {
  count = 0;
  RecurringItem* first = world.recurringItems;
  for (ListNode* node = first; node;) {
    const auto& item = static_cast<const RecurringItem&>(*node);
    const size_t at = out.size();
    out.resize(at + kGamRecurringSlot, 0);
    std::memcpy(out.data() + at + sizeof(ListNodeSlots), item.fields, sizeof item.fields);
    ++count;
    node = node->next();
    if (node == first) break;
  }
}

void AppendCommands(std::vector<PendingCommandImage>& logged, Pool& pool, std::vector<uint8_t>& out,
                    int32_t& count) {
  count = 0;
  for (PendingCommandImage& command : logged) {
    le::Store32(command.bytes + kCommandPayloadLengthAt, static_cast<uint32_t>(command.payload.size()));
    le::Store32(command.bytes + kCommandPayloadSlotAt,
                command.payload.empty() ? 0 : pool.AddBytes(command.payload.data(), command.payload.size()));
    out.insert(out.end(), command.bytes, command.bytes + kCommandImageSize);
    ++count;
  }
}

// Exactly 32 rows of `bytes` bytes each, from the world's rows, zeros where it has fewer.
std::vector<uint8_t> Rows(const uint8_t* data, size_t have, size_t bytes) {
  std::vector<uint8_t> rows(kMaxPlayers * bytes, 0);
  const size_t n = std::min(have, rows.size());
  if (n) std::memcpy(rows.data(), data, n);
  return rows;
}

void AppendExtended(World& world, Pool& pool, std::vector<uint8_t>& out) {
  std::vector<uint8_t> counts;
  std::vector<uint8_t> records;
  {
    WorldLockGuard mail(world, kLockMail);
    for (int p = 0; p < kMaxPlayers; ++p) {
      uint32_t n = 0;
      ForEachItem<PlayerMessage>(world.messageLists[p], [&](PlayerMessage& m) {
        PlayerMessageImage image{};
        image.fields = m;
        image.tail = m;
        for (int t = 0; t < kMessageTexts; ++t) image.textSlots[t] = pool.AddText(m.texts[t]);
        AppendImage(records, image);
        ++n;
      });
      AppendWord(counts, n);
    }
  }
  std::vector<uint8_t> messageCounts = std::move(counts);
  std::vector<uint8_t> messages = std::move(records);
  counts.clear();
  records.clear();
  {
    WorldLockGuard projects(world, kLockProjects);
    for (int p = 0; p < kMaxPlayers; ++p) {
      uint32_t n = 0;
      ForEachItem<ProjectEntry>(world.projectLists[p], [&](ProjectEntry& e) {
        ProjectEntryImage image{};
        image.fields = e;
        AppendImage(records, image);
        ++n;
      });
      AppendWord(counts, n);
    }
  }
  std::vector<uint8_t> projectCounts = std::move(counts);
  std::vector<uint8_t> projects = std::move(records);
  counts.clear();
  records.clear();
  for (int p = 0; p < kMaxPlayers; ++p) {
    uint32_t n = 0;
    ForEachItem<PlayerItem>(world.playerItemLists[p], [&](PlayerItem& item) {
      PlayerItemImage image{};
      CopyPlayerItem(image.fields, item);
      AppendImage(records, image);
      ++n;
    });
    AppendWord(counts, n);
  }
  out.insert(out.end(), counts.begin(), counts.end());
  out.insert(out.end(), records.begin(), records.end());
  out.insert(out.end(), messageCounts.begin(), messageCounts.end());
  out.insert(out.end(), messages.begin(), messages.end());
  out.insert(out.end(), projectCounts.begin(), projectCounts.end());
  out.insert(out.end(), projects.begin(), projects.end());

  // The unit groups as unit ids: the counts, then the ids in the same order.
  std::vector<uint8_t> ids;
  AppendWord(out, static_cast<uint32_t>(kGamGroupsWritten));
  for (int p = 0; p < kMaxPlayers; ++p) {
    for (int group = 0; group < kGamGroupsWritten; ++group) {
      const ListHolder& holder = world.unitGroups.groups[p][group];
      uint32_t n = 0;
      for (ListNode* node = holder.first; node;) {
        const auto& item = static_cast<const ListItem28&>(*node);
        AppendWord(ids, item.object ? static_cast<const UnitRecord*>(item.object)->id : 0);
        ++n;
        node = node->next();
        if (node == holder.first) break;
      }
      AppendWord(out, n);
    }
  }
  out.insert(out.end(), ids.begin(), ids.end());
}

}  // namespace

std::vector<uint8_t> BuildGameImage(World& world) {
  // The pending commands are taken first: the command-log lock comes before
  // the other locks of the world.
  std::vector<PendingCommandImage> logged;
  if (g_commandLogAccess.collect) logged = g_commandLogAccess.collect(world);
  return BuildGameImage(world, std::move(logged));
}

std::vector<uint8_t> BuildGameImage(World& world, std::vector<PendingCommandImage> logged) {
  // The recurring items and the unit groups stay put for the rest of the write.
  WorldLockGuard writing(world, kLockRecurring);
  GameState& s = world.gameState;
  Pool pool;

  std::vector<uint8_t> body(kGamEconomyBlock, 0);
  if (!world.worldEconomy.empty())
    std::memcpy(body.data(), world.worldEconomy.data(), std::min(world.worldEconomy.size(), kGamEconomyBlock));
  const int32_t players = std::clamp(s.playerCount, 0, static_cast<int32_t>(kMaxPlayers));
  for (int32_t p = 0; p < players; ++p) {
    const size_t at = body.size();
    body.resize(at + kGamPlayerSlot, 0);
    std::memcpy(body.data() + at, &world.players[p], sizeof(PlayerRecord));
  }
  int32_t units = 0;
  int32_t recurring = 0;
  int32_t commands = 0;
  AppendUnits(world, pool, body, units);
  AppendRecurring(world, body, recurring);
  AppendCommands(logged, pool, body, commands);
  const size_t designBytes = static_cast<size_t>(std::max(s.designRowBytes, 0));
  const size_t techBytes = static_cast<size_t>(std::max(s.techCount, 0)) * sizeof(PlayerTechState);
  const auto design = Rows(world.designRows.data(), world.designRows.size(), designBytes);
  const auto tech = Rows(reinterpret_cast<const uint8_t*>(world.techRows.data()),
                         world.techRows.size() * sizeof(PlayerTechState), techBytes);
  body.insert(body.end(), design.begin(), design.end());
  body.insert(body.end(), tech.begin(), tech.end());
  AppendExtended(world, pool, body);
  const std::vector<uint8_t> poolBytes = pool.Finish();

  s.playerCount = players;
  s.unitCount = units;
  s.recurringCount = recurring;
  s.commandCount = commands;
  s.fileFlags = kGameFileExtended | (InNetworkGame() ? kGameFileNetwork : 0u);
  s.saved = FileStampNow();
  s.stringPoolSize = static_cast<uint32_t>(poolBytes.size());
  s.version = kGameVersion;

  std::vector<uint8_t> out(kGamHeaderBlock, 0);
  out.reserve(kGamHeaderBlock + body.size() + poolBytes.size());
  std::memcpy(out.data(), &s, sizeof s);
  // A file cannot carry its own checksum: the loaded copy takes it on read,
  // and the file keeps 0 so that writing what was read gives the same bytes.
  le::Store32(out.data() + offsetof(GameState, checksum), 0);
  out.insert(out.end(), body.begin(), body.end());
  out.insert(out.end(), poolBytes.begin(), poolBytes.end());
  return out;
}

plat::Status WriteGamFile(World& world, std::string_view name) {
  const std::string path = GameWritePath(name);
  const std::vector<uint8_t> image = BuildGameImage(world);
  // A game the reader would refuse is not written over the old one.
  std::string why;
  const StagedGamePtr staged = StageGameImage(image, false, why);
  if (!staged || !CheckStagedUnitsAgainstClasses(*staged, world.unitClasses, why)) {
    LogWrite(g_platform, "Game file %s not written: it would be refused on loading: %s.\n", path.c_str(), why.c_str());
    return plat::kFail;
  }
  return WriteDataFile(path, image);
}
