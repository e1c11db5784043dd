#include "ai/minister_common.h"

std::atomic<uint32_t> g_aiRedrawFlag{0};

void RequestAiRedraw() { g_aiRedrawFlag.store(1, std::memory_order_relaxed); }

bool PostServed(const PlayerRecord& region, int post) {
  const CabinetPolicy& block = region.simPolicy.cabinetPolicy[post];
  return CabinetId(block, 0) != 0 && CabinetControl(block) != 0;
}

MinisterFigures MinisterOf(const World& world, const PlayerRecord& region, int post, bool second) {
  MinisterFigures out;
  const size_t person = CabinetId(region.simPolicy.cabinetPolicy[post], 1);
  const size_t at = person * kPeopleEntrySize;
  if (at + kPeopleEntrySize > world.people.size()) return out;
  const uint8_t* entry = world.people.data() + at;
  out.skill = static_cast<float>(static_cast<int8_t>(entry[kPersonSkillAt])) / 1000.0f;
  out.rating = static_cast<float>(entry[second ? kPersonSecondRatingAt : kPersonRatingAt]) / 100.0f + 0.1f;
  return out;
}
