#include "world/save_extension.h"

#include "records/le_bytes.h"
#include "records/unit_record.h"
#include "world/world.h"

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

}  // namespace

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
  if (count == 0) return section;
  le::Store32(routes.data(), count);
  Put32(section, kSaveBlockRouteSteps);
  Put32(section, static_cast<uint32_t>(routes.size()));
  section.insert(section.end(), routes.begin(), routes.end());
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
