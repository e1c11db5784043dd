#include "world/save_extension.h"

#include "records/le_bytes.h"
#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "world/world.h"

SaveBlockHook g_computerPlayerSaveHook;
SaveBlockHook g_contactMaskSaveHook;

namespace {

constexpr size_t kBlockHead = 8;
constexpr size_t kRouteHead = 9;  // id, which route, step count

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  const size_t at = out.size();
  out.resize(at + 4);
  le::Store32(out.data() + at, v);
}

void PutRoute(std::vector<uint8_t>& out, uint32_t id, uint8_t which, const PathRequest* route, uint32_t& count) {
  if (!route || route->steps.empty()) return;
  Put32(out, id);
  out.push_back(which);
  Put32(out, static_cast<uint32_t>(route->steps.size()));
  out.insert(out.end(), route->steps.begin(), route->steps.end());
  ++count;
}

constexpr size_t kArrayHead = 7;  // table, player, category, count
constexpr size_t kEntrySize = 6;  // id, countdown, elapsed
constexpr int kLastSavedTable = 3;

void PutBlock(std::vector<uint8_t>& section, uint32_t tag, const std::vector<uint8_t>& payload) {
  Put32(section, tag);
  Put32(section, static_cast<uint32_t>(payload.size()));
  section.insert(section.end(), payload.begin(), payload.end());
}

// Every array with a unit in it, in table, player and category order.
std::vector<uint8_t> UnitTablesPayload(World& world) {
  std::vector<uint8_t> out(4, 0);
  uint32_t arrays = 0;
  for (int table = 1; table <= kLastSavedTable; ++table)
    for (int player = 0; player < 32; ++player)
      for (int category = 0; category < kUnitCategories; ++category) {
        const UnitTableArray* array = world.unitTables.Slot(table, player, category);
        if (!array) continue;
        const size_t head = out.size();
        out.push_back(static_cast<uint8_t>(table));
        out.push_back(static_cast<uint8_t>(player));
        out.push_back(static_cast<uint8_t>(category));
        Put32(out, 0);
        uint32_t units = 0;
        for (int32_t i = 1; i < array->Count(); ++i) {
          const UnitTableEntry& e = array->At(i);
          // A unit gone since it was filed is not in the save's game part,
          // so its entry is left out as a hole would be.
          if (!e.unit || (e.unit->unitFlags & kUnitGone)) continue;
          Put32(out, e.unit->id);
          out.push_back(e.countdown);
          out.push_back(e.minutesSince);
          ++units;
        }
        if (units == 0) {
          out.resize(head);
          continue;
        }
        le::Store32(out.data() + head + 3, units);
        ++arrays;
      }
  if (arrays == 0) return {};
  le::Store32(out.data(), arrays);
  return out;
}

constexpr size_t kSpottingEntry = 5;  // index, value

// Only the bytes that are not 0: under fog most of the map is unseen.
std::vector<uint8_t> SpottingMapPayload(const World& world) {
  const std::vector<uint8_t>& map = world.spottingMap;
  std::vector<uint8_t> out;
  if (map.empty() || map.size() != world.cells.size() * kMaxPlayers) return out;
  out.resize(8, 0);
  uint32_t entries = 0;
  for (size_t i = 0; i < map.size(); ++i) {
    if (map[i] == 0) continue;
    Put32(out, static_cast<uint32_t>(i));
    out.push_back(map[i]);
    ++entries;
  }
  le::Store32(out.data(), static_cast<uint32_t>(world.cells.size()));
  le::Store32(out.data() + 4, entries);
  return out;
}

}  // namespace

bool ReadSpottingMapBlock(std::span<const uint8_t> payload, size_t cells, std::vector<uint8_t>& out, std::string& why) {
  if (payload.size() < 8) {
    why = "the spotting map block is cut short";
    return false;
  }
  if (le::Load32(payload.data()) != cells) {
    why = "the spotting map block is for a map of another size";
    return false;
  }
  const uint32_t entries = le::Load32(payload.data() + 4);
  if ((payload.size() - 8) % kSpottingEntry != 0 || (payload.size() - 8) / kSpottingEntry != entries) {
    why = "the spotting map block does not hold its count of entries";
    return false;
  }
  std::vector<uint8_t> map(cells * kMaxPlayers, 0);
  uint64_t next = 0;  // the lowest index the next entry may have
  for (uint32_t e = 0; e < entries; ++e) {
    const uint8_t* at = payload.data() + 8 + static_cast<size_t>(e) * kSpottingEntry;
    const uint32_t index = le::Load32(at);
    if (index < next || index >= map.size()) {
      why = "the spotting map block names a byte out of order or past the map";
      return false;
    }
    map[index] = at[4];
    next = static_cast<uint64_t>(index) + 1;
  }
  out = std::move(map);
  return true;
}

bool ReadUnitTablesBlock(std::span<const uint8_t> payload, const std::function<UnitRecord*(uint32_t)>& findUnit,
                         std::vector<SavedTableArray>& out, std::string& why) {
  std::vector<SavedTableArray> arrays;
  if (payload.size() < 4) {
    why = "the unit tables block is cut short";
    return false;
  }
  const uint32_t count = le::Load32(payload.data());
  size_t at = 4;
  for (uint32_t i = 0; i < count; ++i) {
    if (payload.size() - at < kArrayHead) {
      why = "the unit tables block is cut short";
      return false;
    }
    SavedTableArray array;
    array.table = payload[at];
    array.player = payload[at + 1];
    array.category = payload[at + 2];
    const uint32_t units = le::Load32(payload.data() + at + 3);
    at += kArrayHead;
    if (array.table < 1 || array.table > kLastSavedTable || array.player >= 32 || array.category >= kUnitCategories) {
      why = "the unit tables block names a table that does not exist";
      return false;
    }
    if (units > (payload.size() - at) / kEntrySize) {
      why = "a unit table runs past the end of its block";
      return false;
    }
    for (uint32_t k = 0; k < units; ++k, at += kEntrySize) {
      SavedTableEntry e;
      e.unitId = le::Load32(payload.data() + at);
      e.countdown = payload[at + 4];
      e.minutesSince = payload[at + 5];
      if (!findUnit(e.unitId)) {
        why = "a unit table names a unit the game does not have";
        return false;
      }
      array.entries.push_back(e);
    }
    arrays.push_back(std::move(array));
  }
  if (at != payload.size()) {
    why = "the unit tables block holds more than its tables";
    return false;
  }
  out = std::move(arrays);
  return true;
}

std::vector<uint8_t> BuildSaveExtension(World& world) {
  std::vector<uint8_t> routes(4, 0);
  uint32_t count = 0;
  {
    WorldLockGuard units(world, kLockUnits);
    UnitRecord* head = world.units;
    for (UnitRecord* unit = head; unit;) {
      if (!(unit->unitFlags & kUnitGone)) {
        PutRoute(routes, unit->id, 1, unit->route.get(), count);
        PutRoute(routes, unit->id, 2, unit->route2.get(), count);
      }
      unit = unit->next;
      if (unit == head) break;
    }
  }
  std::vector<uint8_t> section;
  if (count != 0) {
    le::Store32(routes.data(), count);
    PutBlock(section, kSaveBlockRouteSteps, routes);
  }
  const std::vector<uint8_t> tables = UnitTablesPayload(world);
  if (!tables.empty()) PutBlock(section, kSaveBlockUnitTables, tables);
  const std::vector<uint8_t> spotting = SpottingMapPayload(world);
  if (!spotting.empty()) PutBlock(section, kSaveBlockSpottingMap, spotting);
  if (g_computerPlayerSaveHook.write) {
    const std::vector<uint8_t> workers = g_computerPlayerSaveHook.write(world);
    if (!workers.empty()) PutBlock(section, kSaveBlockComputerPlayers, workers);
  }
  if (g_contactMaskSaveHook.write) {
    const std::vector<uint8_t> masks = g_contactMaskSaveHook.write(world);
    if (!masks.empty()) PutBlock(section, kSaveBlockContactMasks, masks);
  }
  return section;
}

bool SplitSaveExtension(std::span<const uint8_t> section, std::vector<SaveExtensionBlock>& blocks, std::string& why) {
  blocks.clear();
  size_t at = 0;
  while (at < section.size()) {
    if (section.size() - at < kBlockHead) {
      why = "an extension block is cut short";
      return false;
    }
    const uint32_t tag = le::Load32(section.data() + at);
    const uint32_t length = le::Load32(section.data() + at + 4);
    at += kBlockHead;
    if (length > section.size() - at) {
      why = "an extension block runs past the end of the file";
      return false;
    }
    blocks.push_back({tag, section.subspan(at, length)});
    at += length;
  }
  return true;
}

bool ApplyRouteSteps(std::span<const uint8_t> payload, const std::function<UnitRecord*(uint32_t)>& findUnit,
                     std::string& why) {
  struct Steps {
    PathRequest* route;
    std::span<const uint8_t> bytes;
  };
  std::vector<Steps> found;
  if (payload.size() < 4) {
    why = "the route steps block is cut short";
    return false;
  }
  const uint32_t count = le::Load32(payload.data());
  size_t at = 4;
  for (uint32_t i = 0; i < count; ++i) {
    if (payload.size() - at < kRouteHead) {
      why = "the route steps block is cut short";
      return false;
    }
    const uint32_t id = le::Load32(payload.data() + at);
    const uint8_t which = payload[at + 4];
    const uint32_t length = le::Load32(payload.data() + at + 5);
    at += kRouteHead;
    if (length > payload.size() - at) {
      why = "the steps of a route run past the end of their block";
      return false;
    }
    UnitRecord* unit = findUnit(id);
    PathRequest* route = !unit ? nullptr : which == 1 ? unit->route.get() : which == 2 ? unit->route2.get() : nullptr;
    if (!route) {
      why = "route steps name a unit or route the game does not have";
      return false;
    }
    found.push_back({route, payload.subspan(at, length)});
    at += length;
  }
  if (at != payload.size()) {
    why = "the route steps block holds more than its routes";
    return false;
  }
  for (const Steps& s : found) s.route->steps.assign(s.bytes.begin(), s.bytes.end());
  return true;
}
