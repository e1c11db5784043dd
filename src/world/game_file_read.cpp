// Reading the game file: the image is laid out and checked whole, built
// into a staged game apart from the world, and only then handed over.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <unordered_map>

#include "app/app_object.h"
#include "app/log.h"
#include "platform/paths.h"
#include "records/hex_cell.h"
#include "world/map_data.h"
#include "world/map_header.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "world/unit_ring.h"
#include "world/command_log_access.h"
#include "world/data_checksum.h"
#include "world/data_file_io.h"
#include "world/game_file.h"
#include "world/record_figures_check.h"
#include "world/id_lookups.h"
#include "records/le_bytes.h"
#include "world/list_holder.h"
#include "world/list_items.h"
#include "world/map_folders.h"
#include "world/object_hex.h"
#include "world/text/text_lists.h"
#include "records/text_field.h"
#include "world/world.h"

namespace {

constexpr size_t kCountsBlock = 4 * kMaxPlayers;

struct StagedMessage {
  PlayerMessageFields fields{};
  PlayerMessageTail tail{};
  std::optional<std::string> texts[kMessageTexts];
};

// Where each part of an image lies, worked out from its counts before
// anything is read.
struct GameLayout {
  uint64_t players = 0;
  uint64_t units = 0;
  uint64_t recurring = 0;
  uint64_t commands = 0;
  uint64_t design = 0;
  uint64_t tech = 0;
  bool extended = false;
  uint64_t itemCounts = 0, items = 0;
  uint64_t messageCounts = 0, messages = 0;
  uint64_t projectCounts = 0, projects = 0;
  uint64_t groupCountWord = 0, groupCounts = 0, groupIds = 0;
  int32_t itemCount[kMaxPlayers] = {};
  int32_t messageCount[kMaxPlayers] = {};
  int32_t projectCount[kMaxPlayers] = {};
  int32_t groupsPerPlayer = 0;
  uint64_t pool = 0;
  uint64_t poolSize = 0;
};

class Cursor {
 public:
  explicit Cursor(uint64_t size) : size_(size) {}
  // Reserves n bytes from the current end; false when they do not fit.
  bool Take(uint64_t n, uint64_t& at) {
    if (n > size_ - end_) return false;
    at = end_;
    end_ += n;
    return true;
  }
  uint64_t end() const { return end_; }

 private:
  uint64_t size_;
  uint64_t end_ = 0;
};

// 32 counts, each at least 0, and their sum.
bool ReadCounts(const uint8_t* at, int32_t (&counts)[kMaxPlayers], uint64_t& sum) {
  sum = 0;
  for (int p = 0; p < kMaxPlayers; ++p) {
    counts[p] = le::LoadI32(at + 4 * p);
    if (counts[p] < 0) return false;
    sum += static_cast<uint64_t>(counts[p]);
  }
  return true;
}

bool LayOut(std::span<const uint8_t> data, const GameState& s, bool playersOnly, GameLayout& l, std::string& why) {
  Cursor c(data.size());
  uint64_t at;
  if (!c.Take(kGamHeaderBlock, at) || !c.Take(kGamEconomyBlock, at)) {
    why = "shorter than its header and economy";
    return false;
  }
  if (!c.Take(static_cast<uint64_t>(s.playerCount) * kGamPlayerSlot, l.players)) {
    why = "its " + std::to_string(s.playerCount) + " region slots run past its end";
    return false;
  }
  if (playersOnly) return true;
  if (!c.Take(static_cast<uint64_t>(s.unitCount) * kGamUnitSlot, l.units) ||
      !c.Take(static_cast<uint64_t>(s.recurringCount) * kGamRecurringSlot, l.recurring) ||
      !c.Take(static_cast<uint64_t>(s.commandCount) * kCommandImageSize, l.commands) ||
      !c.Take(static_cast<uint64_t>(kMaxPlayers) * static_cast<uint64_t>(s.designRowBytes), l.design) ||
      !c.Take(static_cast<uint64_t>(kMaxPlayers) * static_cast<uint64_t>(s.techCount) * sizeof(PlayerTechState),
              l.tech)) {
    why = "its units, recurring items, commands and rows run past its end";
    return false;
  }
  l.extended = (s.fileFlags & kGameFileExtended) != 0;
  if (l.extended) {
    uint64_t sum;
    const auto counted = [&](uint64_t& countsAt, int32_t (&counts)[kMaxPlayers], uint64_t& itemsAt, size_t size,
                             const char* what) {
      if (!c.Take(kCountsBlock, countsAt)) {
        why = std::string("its ") + what + " counts run past its end";
        return false;
      }
      if (!ReadCounts(data.data() + countsAt, counts, sum)) {
        why = std::string("a negative count of ") + what;
        return false;
      }
      if (!c.Take(sum * size, itemsAt)) {
        why = std::string("its ") + what + " run past its end";
        return false;
      }
      return true;
    };
    if (!counted(l.itemCounts, l.itemCount, l.items, kGamItemSize, "player items") ||
        !counted(l.messageCounts, l.messageCount, l.messages, kGamMessageSize, "messages") ||
        !counted(l.projectCounts, l.projectCount, l.projects, kGamProjectSize, "projects")) {
      return false;
    }
    if (!c.Take(4, l.groupCountWord)) {
      why = "its unit groups run past its end";
      return false;
    }
    l.groupsPerPlayer = le::LoadI32(data.data() + l.groupCountWord);
    if (l.groupsPerPlayer < 0 ||
        !c.Take(static_cast<uint64_t>(kMaxPlayers) * static_cast<uint64_t>(l.groupsPerPlayer) * 4, l.groupCounts)) {
      why = "its unit groups run past its end";
      return false;
    }
    sum = 0;
    for (uint64_t i = 0; i < static_cast<uint64_t>(kMaxPlayers) * static_cast<uint64_t>(l.groupsPerPlayer); ++i) {
      const int32_t n = le::LoadI32(data.data() + l.groupCounts + 4 * i);
      if (n < 0) {
        why = "a negative unit group count";
        return false;
      }
      sum += static_cast<uint64_t>(n);
    }
    if (!c.Take(sum * 4, l.groupIds)) {
      why = "its unit group ids run past its end";
      return false;
    }
  }
  l.poolSize = s.stringPoolSize;
  if (!c.Take(l.poolSize, l.pool)) {
    why = "its string pool runs past its end";
    return false;
  }
  // The pool is the last part: anything after it means the counts are wrong.
  if (c.end() != data.size()) {
    why = std::to_string(data.size() - c.end()) + " bytes after its string pool";
    return false;
  }
  return true;
}

// A text of the pool: none for offset 0; false when the offset does not name
// a whole text of the pool.
bool PoolText(std::span<const uint8_t> data, const GameLayout& l, uint32_t offset, std::optional<std::string>& out) {
  out.reset();
  if (offset == 0) return true;
  if (offset >= l.poolSize) return false;
  const uint8_t* start = data.data() + l.pool + offset;
  const void* end = std::memchr(start, 0, static_cast<size_t>(l.poolSize - offset));
  if (!end) return false;
  out.emplace(reinterpret_cast<const char*>(start), static_cast<const uint8_t*>(end) - start);
  return true;
}

std::unique_ptr<char[]> CopyName(const std::string& text) {
  auto copy = std::make_unique<char[]>(text.size() + 1);
  std::memcpy(copy.get(), text.c_str(), text.size() + 1);
  return copy;
}

char* MallocText(const std::optional<std::string>& text) {
  if (!text) return nullptr;
  auto* copy = static_cast<char*>(std::malloc(text->size() + 1));
  if (copy) std::memcpy(copy, text->c_str(), text->size() + 1);
  return copy;
}

}  // namespace

struct StagedGame {
  GameState state{};
  bool playersOnly = false;
  std::vector<uint8_t> economy;
  std::vector<PlayerRecord> players;
  std::vector<std::unique_ptr<UnitRecord>> units;
  std::vector<int32_t> unitSlots;  // each unit's slot in the file
  std::unordered_map<uint32_t, UnitRecord*> unitsById;  // lookups only; never iterated
  std::vector<std::array<uint8_t, kRecurringFieldsSize>> recurring;
  std::vector<PendingCommandImage> commands;
  std::vector<uint8_t> designRows;
  std::vector<PlayerTechState> techRows;
  std::vector<PlayerItemFields> items[kMaxPlayers];
  std::vector<StagedMessage> messages[kMaxPlayers];
  std::vector<ProjectEntryFields> projects[kMaxPlayers];
  std::vector<uint32_t> groups[kMaxPlayers][kUnitGroupsPerPlayer];
};

void StagedGameDeleter::operator()(StagedGame* game) const { delete game; }

UnitRecord* FindStagedUnit(const StagedGame& game, uint32_t id) {
  if (id == 0) return nullptr;
  const auto it = game.unitsById.find(id);
  return it == game.unitsById.end() ? nullptr : it->second;
}

uint32_t StagedGameVersion(const StagedGame& game) { return game.state.version; }

bool CheckStagedUnitsAgainstClasses(const StagedGame& game, std::span<const UnitClassRecord> classes,
                                    std::string& why) {
  for (size_t k = 0; k < game.units.size(); ++k) {
    const UnitRecord& unit = *game.units[k];
    std::string which;
    if (!UnitStrengthFitsClass(unit, classes, which)) {
      why = "unit " + std::to_string(game.unitSlots[k]) + " (id " + std::to_string(unit.id) + "): its " + which;
      return false;
    }
  }
  return true;
}

namespace {

bool StageUnits(std::span<const uint8_t> data, const GameLayout& l, StagedGame& g, std::string& why) {
  for (int32_t i = 0; i < g.state.unitCount; ++i) {
    const uint8_t* slot = data.data() + l.units + static_cast<uint64_t>(i) * kGamUnitSlot;
    auto unit = std::make_unique<UnitRecord>();
    std::memcpy(static_cast<UnitImage*>(unit.get()), slot, sizeof(UnitImage));
    unit->prevSlot = unit->nextSlot = 0;
    // A removed unit in a file is dropped.
    if (unit->unitFlags & kUnitGone) continue;
    std::string which;
    if (!UnitFiguresInRange(*unit, which)) {
      why = "unit " + std::to_string(i) + " (id " + std::to_string(unit->id) + "): its " + which;
      return false;
    }
    std::optional<std::string> name;
    if (!PoolText(data, l, unit->customNameSlot, name)) {
      why = "unit " + std::to_string(i) + " has a name outside the string pool";
      return false;
    }
    if (name) unit->customName = CopyName(*name);
    unit->customNameSlot = 0;
    if (unit->routeSlot) {
      unit->route = std::make_unique<PathRequest>();
      std::memcpy(static_cast<PathRequestImage*>(unit->route.get()), slot + kGamFirstRouteAt, sizeof(PathRequestImage));
      unit->route->stepsSlot = 0;
    }
    if (unit->route2Slot) {
      unit->route2 = std::make_unique<PathRequest>();
      std::memcpy(static_cast<PathRequestImage*>(unit->route2.get()), slot + kGamSecondRouteAt, sizeof(PathRequestImage));
      unit->route2->stepsSlot = 0;
    }
    g.unitsById.emplace(unit->id, unit.get());
    g.units.push_back(std::move(unit));
    g.unitSlots.push_back(i);
  }
  return true;
}

bool StageCommands(std::span<const uint8_t> data, const GameLayout& l, StagedGame& g, std::string& why) {
  for (int32_t i = 0; i < g.state.commandCount; ++i) {
    PendingCommandImage command;
    std::memcpy(command.bytes, data.data() + l.commands + static_cast<uint64_t>(i) * kCommandImageSize,
                kCommandImageSize);
    le::Store32(command.bytes, kCommandHeaderWord);
    le::Store32(command.bytes + 4, kCommandImageSize);
    const uint32_t length = le::Load32(command.bytes + kCommandPayloadLengthAt);
    const uint32_t offset = le::Load32(command.bytes + kCommandPayloadSlotAt);
    if (offset == 0 ? length != 0 : (offset >= l.poolSize || length > l.poolSize - offset)) {
      why = "command " + std::to_string(i) + " has a payload outside the string pool";
      return false;
    }
    if (offset != 0) {
      const uint8_t* from = data.data() + l.pool + offset;
      command.payload.assign(from, from + length);
    }
    le::Store32(command.bytes + kCommandPayloadSlotAt, 0);
    g.commands.push_back(std::move(command));
  }
  return true;
}

// A project mark in the staged rows, as the reader sets it from a project's flag word.
void MarkProjectRow(StagedGame& g, int player, const ProjectEntryFields& p) {
  if (static_cast<int32_t>(p.displayFlags) < 0) return;
  uint8_t bits = kRowProjectOpen;
  if (p.displayFlags & kProjectHeld) bits |= kRowProjectHeld;
  if (p.kind == kProjectTechnology) {
    const uint64_t count = static_cast<uint64_t>(g.state.techCount);
    if (p.index < count) g.techRows[static_cast<size_t>(player * count + p.index)].projectFlags |= bits;
  } else if (p.kind == kProjectDesign) {
    const uint64_t width = static_cast<uint64_t>(g.state.designRowBytes);
    if (p.index < width) g.designRows[static_cast<size_t>(player * width + p.index)] |= bits;
  }
}

bool StageExtended(std::span<const uint8_t> data, const GameLayout& l, StagedGame& g, std::string& why) {
  uint64_t at = l.items;
  for (int p = 0; p < kMaxPlayers; ++p) {
    for (int32_t i = 0; i < l.itemCount[p]; ++i, at += kGamItemSize) {
      PlayerItemImage image;
      std::memcpy(&image, data.data() + at, sizeof image);
      PlayerItemFields fields{};
      CopyPlayerItem(fields, image.fields);
      g.items[p].push_back(fields);
    }
  }
  at = l.messages;
  for (int p = 0; p < kMaxPlayers; ++p) {
    for (int32_t i = 0; i < l.messageCount[p]; ++i, at += kGamMessageSize) {
      PlayerMessageImage image;
      std::memcpy(&image, data.data() + at, sizeof image);
      StagedMessage m;
      m.fields = image.fields;
      m.tail = image.tail;
      for (int t = 0; t < kMessageTexts; ++t) {
        if (!PoolText(data, l, image.textSlots[t], m.texts[t])) {
          why = "a message of player " + std::to_string(p) + " has a text outside the string pool";
          return false;
        }
      }
      g.messages[p].push_back(std::move(m));
    }
  }
  at = l.projects;
  for (int p = 0; p < kMaxPlayers; ++p) {
    for (int32_t i = 0; i < l.projectCount[p]; ++i, at += kGamProjectSize) {
      ProjectEntryImage image;
      std::memcpy(&image, data.data() + at, sizeof image);
      MarkProjectRow(g, p, image.fields);
      g.projects[p].push_back(image.fields);
    }
  }
  // Only the first ten groups of a player are kept.
  at = l.groupIds;
  for (int p = 0; p < kMaxPlayers; ++p) {
    for (int32_t group = 0; group < l.groupsPerPlayer; ++group) {
      const uint64_t countAt = l.groupCounts + 4 * (static_cast<uint64_t>(p) * l.groupsPerPlayer + group);
      const int32_t n = le::LoadI32(data.data() + countAt);
      for (int32_t i = 0; i < n; ++i, at += 4)
        if (group < kUnitGroupsPerPlayer) g.groups[p][group].push_back(le::Load32(data.data() + at));
    }
  }
  return true;
}

}  // namespace

StagedGamePtr StageGameImage(std::span<const uint8_t> data, bool playersOnly, std::string& why) {
  StagedGamePtr g(new StagedGame);
  g->playersOnly = playersOnly;
  if (data.size() < kGamHeaderBlock) {
    why = "shorter than its header";
    return nullptr;
  }
  GameState& s = g->state;
  std::memcpy(&s, data.data(), sizeof s);
  if (s.version < kGameOldestVersion) {
    why = "version " + std::to_string(s.version) + " is older than this program reads";
    return nullptr;
  }
  if (s.playerCount < 0 || s.playerCount > kMaxPlayers) {
    why = std::to_string(s.playerCount) + " regions";
    return nullptr;
  }
  if (s.localPlayer < 0 || s.localPlayer >= kMaxPlayers) {
    why = "local region " + std::to_string(s.localPlayer) + " is no region";
    return nullptr;
  }
  if (!playersOnly && (s.unitCount < 0 || s.recurringCount < 0 || s.commandCount < 0 || s.designRowBytes < 0 ||
                       s.techCount < 0)) {
    why = "a negative count";
    return nullptr;
  }
  // The clock's words bound the loops of a day: a minute loop runs
  // minutesLeft times, each minute's visibility walk visibilitySteps hexes,
  // a turn daysPerTurn days.
  if (!playersOnly) {
    const auto outside = [&why](const char* field, int64_t v, int64_t low, int64_t high) {
      if (v >= low && v <= high) return false;
      why = std::string(field) + " " + std::to_string(v) + " is outside " + std::to_string(low) + " to " +
            std::to_string(high);
      return true;
    };
    if (outside("minutesLeft", s.minutesLeft, 0, kGameDayMinutes) || outside("dayPeriod", s.dayPeriod, 0, 11) ||
        outside("visibilitySteps", s.visibilitySteps, 0, kMaxMapCells) ||
        outside("daysPerTurn", s.daysPerTurn, 0, kLongestTurnDays))
      return nullptr;
  }
  GameLayout l;
  if (!LayOut(data, s, playersOnly, l, why)) return nullptr;

  g->economy.assign(data.begin() + kGamHeaderBlock, data.begin() + kGamHeaderBlock + kGamEconomyBlock);
  g->players.resize(static_cast<size_t>(s.playerCount));
  const char* defaultName = TextListEntry(g_textLists, kListGovtype, 0);
  for (size_t p = 0; p < g->players.size(); ++p) {
    PlayerRecord& record = g->players[p];
    std::memcpy(static_cast<void*>(&record), data.data() + l.players + p * kGamPlayerSlot, sizeof record);
    if (record.govtype == 0 && defaultName) SetFieldText(record.name, defaultName);
  }
  if (playersOnly) return g;
  {
    std::string which;
    if (!EconomyFiguresInRange(g->economy, which)) {
      why = "the world economy: its " + which;
      return nullptr;
    }
  }
  for (size_t p = 0; p < g->players.size(); ++p) {
    std::string which;
    if (!RegionFiguresInRange(g->players[p], which)) {
      why = "region " + std::to_string(p) + ": its " + which;
      return nullptr;
    }
  }

  if (!StageUnits(data, l, *g, why)) return nullptr;
  for (int32_t i = 0; i < s.recurringCount; ++i) {
    std::array<uint8_t, kRecurringFieldsSize> fields;
    std::memcpy(fields.data(), data.data() + l.recurring + static_cast<uint64_t>(i) * kGamRecurringSlot + 12,
                fields.size());
    g->recurring.push_back(fields);
  }
  if (!StageCommands(data, l, *g, why)) return nullptr;
  g->designRows.assign(data.begin() + static_cast<ptrdiff_t>(l.design),
                       data.begin() + static_cast<ptrdiff_t>(l.design + kMaxPlayers * static_cast<uint64_t>(s.designRowBytes)));
  g->techRows.resize(static_cast<size_t>(kMaxPlayers) * static_cast<size_t>(s.techCount));
  if (!g->techRows.empty())
    std::memcpy(g->techRows.data(), data.data() + l.tech, g->techRows.size() * sizeof(PlayerTechState));
  if (l.extended && !StageExtended(data, l, *g, why)) return nullptr;
  return g;
}

bool CheckStagedGameOnMap(const StagedGame& g, const MapHeader& header, std::span<const HexCell> cells,
                          std::string& why) {
  const GameState& s = g.state;
  const int32_t regions = static_cast<int32_t>(g.players.size());
  if (s.highestPlayer < 0 || s.highestPlayer >= regions) {
    why = "its last region in play is " + std::to_string(s.highestPlayer) + ", but it holds " +
          std::to_string(regions) + " regions";
    return false;
  }
  // A minute's walk need not pass a hex twice.
  if (static_cast<uint64_t>(s.visibilitySteps) > cells.size() + 1) {
    why = "visibilitySteps " + std::to_string(s.visibilitySteps) + " is more than the map's " +
          std::to_string(cells.size()) + " hexes";
    return false;
  }
  const auto at = [](int x, int y) { return "(" + std::to_string(x) + ", " + std::to_string(y) + ")"; };
  for (const std::unique_ptr<UnitRecord>& unit : g.units) {
    if (unit->owner >= regions) {
      why = "unit " + std::to_string(unit->id) + " belongs to region " + std::to_string(unit->owner) +
            ", beyond its regions";
      return false;
    }
    if (unit->x < 0 || unit->x >= header.width || unit->y < 0 || unit->y >= header.height) {
      why = "unit " + std::to_string(unit->id) + " stands at " + at(unit->x, unit->y) + ", off the " +
            std::to_string(header.width) + " x " + std::to_string(header.height) + " map";
      return false;
    }
  }
  std::vector<int32_t> held(static_cast<size_t>(kMaxPlayers), 0);
  for (size_t i = 0; i < cells.size(); ++i) {
    const int x = static_cast<int>(i % static_cast<size_t>(header.width));
    const int y = static_cast<int>(i / static_cast<size_t>(header.width));
    const int owner = CellOwner(cells[i].word);
    const int loyal = CellLoyalTo(cells[i].word);
    if (owner > s.highestPlayer || loyal > s.highestPlayer) {
      why = "hex " + at(x, y) + " belongs or is loyal to region " + std::to_string(std::max(owner, loyal)) +
            ", beyond the last region in play";
      return false;
    }
    ++held[static_cast<size_t>(owner)];
    const UnitRecord* lead = cells[i].stack ? cells[i].stack->lead : nullptr;
    if (lead && (lead->x != x || lead->y != y)) {
      why = "hex " + at(x, y) + " has unit " + std::to_string(lead->id) + " as its lead, which stands at " +
            at(lead->x, lead->y);
      return false;
    }
  }
  // The land count is kept hex by hex as hexes change hands: it differs
  // from the map's only when one part or the other is damaged, and which
  // one cannot be told.
  for (int32_t p = 1; p <= s.highestPlayer; ++p) {
    const PlayerRecord& r = g.players[static_cast<size_t>(p)];
    if (r.kind != kKindHuman && r.kind != kKindComputer) continue;
    if (r.hexCount == held[static_cast<size_t>(p)]) continue;
    why = "region " + std::to_string(p) + " counts " + std::to_string(r.hexCount) + " hexes but holds " +
          std::to_string(held[static_cast<size_t>(p)]) + " on the map";
    return false;
  }
  return true;
}

void CommitStagedGame(World& world, StagedGame& g, std::optional<uint32_t> fileChecksum) {
  FreeGameData(world);
  world.gameState = g.state;
  for (size_t p = 0; p < g.players.size(); ++p) CopyPlayerRecord(world.players[p], g.players[p]);
  for (size_t p = g.players.size(); p < static_cast<size_t>(kMaxPlayers); ++p) PlayerRecordInit(world.players[p]);
  world.worldEconomy.assign(kWorldEconomySize, 0);
  std::memcpy(world.worldEconomy.data(), g.economy.data(), std::min(g.economy.size(), kWorldEconomySize));

  if (!g.playersOnly) {
    for (auto& unit : g.units) InsertUnitInRing(world, *unit.release());
    g.units.clear();
    g.unitsById.clear();
    for (const auto& fields : g.recurring) {
      auto* item = NewZeroed<RecurringItem>();
      std::memcpy(item->fields, fields.data(), fields.size());
      if (world.recurringItems)
        world.recurringItems->Append(item);
      else
        world.recurringItems = item;
    }
    if (g_commandLogAccess.clear) g_commandLogAccess.clear(world);
    if (!g.commands.empty()) {
      if (g_commandLogAccess.insert) {
        for (PendingCommandImage& command : g.commands) g_commandLogAccess.insert(world, std::move(command));
      } else {
        LogWrite(g_platform, "%zu pending commands of the game were dropped: no command log.\n", g.commands.size());
      }
    }
    world.designRows.swap(g.designRows);
    world.techRows.swap(g.techRows);
    for (int p = 0; p < kMaxPlayers; ++p) {
      for (const PlayerItemFields& fields : g.items[p]) {
        auto* item = NewZeroed<PlayerItem>();
        CopyPlayerItem(*item, fields);
        world.playerItemLists[p].Append(item);
      }
      for (StagedMessage& m : g.messages[p]) {
        auto* message = NewZeroed<PlayerMessage>();
        static_cast<PlayerMessageFields&>(*message) = m.fields;
        static_cast<PlayerMessageTail&>(*message) = m.tail;
        for (int t = 0; t < kMessageTexts; ++t) message->texts[t] = MallocText(m.texts[t]);
        world.messageLists[p].Append(message);
      }
      for (const ProjectEntryFields& fields : g.projects[p]) {
        auto* entry = NewZeroed<ProjectEntry>();
        static_cast<ProjectEntryFields&>(*entry) = fields;
        world.projectLists[p].Append(entry);
      }
      // Ids that name no unit are skipped.
      for (int group = 0; group < kUnitGroupsPerPlayer; ++group)
        for (uint32_t id : g.groups[p][group])
          if (UnitRecord* unit = FindUnitById(world, id))
            NewListItem28(unit, true, 0, world.unitGroups.groups[p][group]);
    }

    if (world.campaignMessage.name[0] && !(world.campaignMessage.flags & 1u)) {
      // The campaign name field holds at most 31 characters.
      SetFieldText(world.gameState.scenarioName, FieldText(world.campaignMessage.name).substr(0, 31));
    }
    if (world.scenario.gmtfile && world.scenario.gmtfile[0])
      SetFieldText(world.gameState.scenarioTextName, world.scenario.gmtfile);
  }
  if (fileChecksum) {
    if (!g.playersOnly) world.gameState.flag444 = 0;
    world.gameState.checksum = *fileChecksum;
  }
  world.localPlayerRecord = &world.players[world.gameState.localPlayer];
  PublishObjectHexesCleared();
  world.gameState.currentHex = HexPosition{};
  world.gameState.viewHex = HexPosition{};
}

std::string GameReadPath(std::string_view name) {
  const bool custom = ReadsCustomFolder();
  std::string path = custom ? "CUSTOM\\" : "MAPS\\";
  path += name;
  path += ".GAM";
  return path;
}

std::string GameWritePath(std::string_view name) {
  std::string path = InMapEditor() ? "CUSTOM\\" : "MAPS\\";
  path += name;
  path += ".GAM";
  return path;
}

plat::Status ReadGamFile(World& world, std::string_view name, std::span<const uint8_t> buffer, bool playersOnly) {
  const bool fromFile = buffer.data() == nullptr;
  const std::string path = fromFile ? GameReadPath(name) : std::string(name);
  std::optional<std::vector<uint8_t>> file;
  if (fromFile) {
    file = ReadDataFile(path);
    if (!file) return plat::kFail;
    buffer = *file;
  }
  std::string why;
  StagedGamePtr staged = StageGameImage(buffer, playersOnly, why);
  if (!staged) {
    LogRefusedFile(path, why);
    return plat::kFail;
  }
  std::optional<uint32_t> checksum;
  if (fromFile) checksum = DataFileChecksum(buffer.data(), buffer.size());
  CommitStagedGame(world, *staged, checksum);
  return plat::kOk;
}
