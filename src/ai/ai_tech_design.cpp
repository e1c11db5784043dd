#include "ai/ai_tech_design.h"

#include "ai/military_minister.h"
#include "ai/minister_common.h"
#include "ai/research_figures.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "sim/research_path.h"
#include "world/list_items.h"
#include "world/world.h"

namespace {

constexpr uint32_t kAdviceMode = 1u << 21;
constexpr uint32_t kSocialTwoPasses = (1u << 23) | (1u << 24);
constexpr uint32_t kSecondPassSubRoles = 1u << 23;
constexpr uint32_t kMilitarySubRoles = 1u << 8;
constexpr int kRoles = 22;
// The batch maximum level by domain (u8[4]) that the missile buying keeps.
constexpr size_t kBatchMaxLevelsAt = 12654;

uint8_t& Byte(PlayerRecord& r, size_t at) { return reinterpret_cast<uint8_t*>(&r)[at]; }

float Score(World& world, PlayerRecord& region, TechClassChooser choose, TechClassQuery q, ClassPool pool,
            int32_t* found = nullptr) {
  q.pool = pool;
  float score = 0.0f;
  const int32_t c = choose(world, region, q, &score);
  if (found) *found = c;
  return c != 0 ? score : 0.0f;
}

// Steps c to e: advice, or the research path of the class; then the news.
void TakeUp(World& world, PlayerRecord& region, int32_t c, int role, bool advice) {
  const int self = region.number;
  const MessageParams params{static_cast<uint32_t>(c), static_cast<uint32_t>(role)};
  if (advice) DeliverPlayerMessage(world, region, kMsgMinisterAdvice, self, nullptr, params);
  else RequestResearchPath(world, self, static_cast<uint32_t>(c), kProjectDesign);
  AddLocalNewsItem(world, region, kMsgMinisterChoice, 0, params);
}

int DomainOf(const World& world, int32_t c) {
  if (c <= 0 || static_cast<size_t>(c) >= world.unitClasses.size()) return -1;
  return ClassResearchDomain(world.unitClasses[static_cast<size_t>(c)].kind);
}

}  // namespace

int ClassResearchDomain(uint8_t kind) {
  if (kind == 3) return 2;
  return kind <= 2 ? kind : -1;
}

int32_t ResearchCapacity(const PlayerRecord& region, int domain) {
  if (domain < 0 || domain > 2) return 0;
  return region.dayCensusCapacityB[domain];
}

void AiTechAndDesignStep(World& world, PlayerRecord& region, TechClassChooser choose) {
  if (ResearchFigureA(region) <= ResearchFigureB(region)) return;
  const PlayerPolicyBlock& shown = region.displayPolicy;
  const float blend = static_cast<float>(shown.autobuildvalues[0]) / 100.0f;
  const uint32_t socialOrders = CabinetPriorities(shown.cabinetPolicy[kPostSocial]);
  const uint32_t militaryOrders = CabinetPriorities(shown.cabinetPolicy[kPostMilitary]);
  const bool advice = (CabinetLocks(shown.cabinetPolicy[kPostSocial]) & kAdviceMode) != 0;
  const int passes = (socialOrders & kSocialTwoPasses) ? 2 : 1;
  uint8_t& roleCursor = Byte(region, kTechRoleCursorAt);
  uint8_t& domainCursor = Byte(region, kDesignDomainCursorAt);
  uint8_t& subRoleCursor = Byte(region, kDesignSubRoleCursorAt);

  for (int pass = 0; pass < passes; ++pass) {
    const int role = roleCursor;
    const bool subRolePath = role == kTechMissileRole || role == 20 ||
                             (pass == 1 && ((socialOrders & kSecondPassSubRoles) || (militaryOrders & kMilitarySubRoles)));
    if (!subRolePath) {
      TechClassQuery q;
      q.role = role;
      q.blend = blend;
      const float have = Score(world, region, choose, q, ClassPool::kHave);
      const float develop = Score(world, region, choose, q, ClassPool::kResearch);
      int32_t c = 0;
      const float fresh = Score(world, region, choose, q, ClassPool::kDesign, &c);
      if (c != 0 && fresh > have && fresh > develop && ResearchCapacity(region, DomainOf(world, c)) != 0)
        TakeUp(world, region, c, role, advice);
    } else {
      const int d = domainCursor & 3;
      const int s = subRoleCursor;
      const uint8_t level = Byte(region, kBatchMaxLevelsAt + static_cast<size_t>(d));
      if (level != 0) {
        TechClassQuery q;
        q.role = kTechMissileRole;
        q.blend = blend;
        q.subRole = s;
        q.domainMask = 1u << d;
        q.sizeLimit = level;
        const float have = Score(world, region, choose, q, ClassPool::kHave);
        int32_t c = 0;
        const float fresh = Score(world, region, choose, q, ClassPool::kDesign, &c);
        if (c != 0 && fresh > have) TakeUp(world, region, c, kTechMissileRole, advice);
      }
      if (++domainCursor > 3) {
        domainCursor = 0;
        if (++subRoleCursor > 2) subRoleCursor = 0;
      }
    }
    if (++roleCursor >= kRoles) roleCursor = 0;
  }
}
