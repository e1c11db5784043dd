#include "ai/social_minister.h"

#include "ai/minister_common.h"
#include "ai/research_figures.h"

namespace {

constexpr uint32_t kLockResearchA = 1u << 20;
constexpr uint32_t kLockResearchB = 1u << 21;
// The bound a social spending item is not raised past.
constexpr float kSocialSpendBound = 2.0f;
// The request bit each group figure raises when it falls low: groups 0, 1,
// 3, 4, 5 and 6 (group 2 has none).
constexpr int kGroupRequestBit[7] = {8, 7, -1, 11, 6, 9, 10};

// The dated reports: on these days of every 500 the minister of a locked
// post tells its region where spending and satisfaction stand.
constexpr uint32_t kRestraintDay = 9, kLockedDay = 51, kReviewDay = 93;
constexpr uint32_t kReportCycle = 500;
// At this readiness level the people weigh the alert against their
// contentment: below this stability the minister warns of it.
constexpr int32_t kWarDefcon = 4;
constexpr float kWarStability = 0.5f;

// Standing orders that shift research money between its three uses (0 the
// technology level, 1 new technologies, 2 efficiency): 0.005 a step from a
// use holding at least 0.2 to one below 1.0. Bit 4 takes new technologies'
// money for the level; bits 23 to 27 drive the other five shifts.
struct ResearchShift {
  int bit, from, to;
};
constexpr ResearchShift kResearchShifts[] = {{4, 1, 0}, {23, 2, 0}, {24, 2, 1}, {25, 0, 1}, {26, 0, 2}, {27, 1, 2}};
constexpr float kShiftStep = 0.005f;

bool Bit(uint32_t word, int bit) { return (word >> bit) & 1u; }

}  // namespace

std::vector<SocialReport> SocialMinisterReports(const World& world, const PlayerRecord& region, float s,
                                                uint32_t orders, uint32_t locks) {
  const PlayerPolicyBlock& sim = region.simPolicy;
  const float stability = region.approval;
  // The spending and the satisfaction each region weighs: the seven items
  // (or the seven groups' figures) with the three allowances, averaged.
  const float fixed = sim.uispend + sim.welfspend + sim.pensspend;
  float spending = fixed, content = fixed, groups = 0.0f;
  for (int i = 0; i < kSocialPrograms; ++i) {
    spending += sim.socialspend[i];
    content += region.socialLevels[i];
    groups += region.socialLevels[i];
  }
  const MessageParams sums{MessageReal(spending / 10.0f), MessageReal(content / 10.0f)};
  std::vector<SocialReport> out;
  if (stability < 0.24f - s / 2.0f) out.push_back({kMsgSocialUnrest, {MessageReal(stability)}});
  out.push_back({kMsgSocialReport, {MessageReal(stability), MessageReal(groups / static_cast<float>(kSocialPrograms))}});
  const uint32_t day = world.gameState.currentDay % kReportCycle;
  if (locks & kSocialLockAll) {
    if (day == kRestraintDay && Bit(orders, 3)) out.push_back({kMsgSocialRestraint, sums});
    if (day == kLockedDay) out.push_back({kMsgSocialLocked, sums});
    if (day == kReviewDay) out.push_back({kMsgSocialReview, sums});
  }
  if (sim.defcon == kWarDefcon && stability < kWarStability - s / 2.0f)
    out.push_back({kMsgSocialWarWeariness, {MessageReal(stability)}});
  return out;
}

void DepartmentMinisterStepD(World& world, PlayerRecord& region) {
  if (!PostServed(region, kPostSocial)) return;
  const int self = region.number;
  const MinisterFigures who = MinisterOf(world, region, kPostSocial, true);
  const float s = who.skill;
  const float r = who.rating;
  PlayerPolicyBlock& sim = region.simPolicy;
  CabinetPolicy& post = sim.cabinetPolicy[kPostSocial];
  const uint32_t orders = CabinetPriorities(post);
  const uint32_t locks = CabinetLocks(post);
  const float stability = region.approval;
  const float* group = region.socialLevels;

  // 1. Requests from the thresholds.
  uint32_t req = PostRequests(post);
  if (stability < 0.34f - s / 2.0f) req |= 1u << 1;
  if (group[1] < 0.45f) req |= 1u << 5;
  for (int g = 0; g < kSocialPrograms; ++g)
    if (kGroupRequestBit[g] >= 0 && group[g] < 0.3f - s) req |= 1u << kGroupRequestBit[g];
  if (sim.uispend < 0.5f || sim.welfspend < 0.5f || sim.pensspend < 0.5f || Bit(orders, 2)) req |= 1u << 6;
  SetPostRequests(post, req);
  const uint32_t m = req | orders;

  // 2. The reports.
  for (const SocialReport& report : SocialMinisterReports(world, region, s, orders, locks))
    PostPlayerMessage(world, region, self, report.type, nullptr, report.params);

  // 3. Raise the items whose groups fall behind.
  float items[kSocialPrograms];
  bool moved[kSocialPrograms] = {};
  const float t = Bit(orders, 3) ? 0.4f : 0.7f;
  for (int i = 0; i < kSocialPrograms; ++i) {
    items[i] = sim.socialspend[i];
    if (Bit(locks, i) || (locks & kSocialLockAll)) continue;
    auto raise = [&](float by) {
      if (items[i] < kSocialSpendBound) {
        items[i] += by;
        moved[i] = true;
      }
    };
    if (group[i] < t - s) raise((0.2f - s) / 20.0f);
    if (Bit(orders, 1) && group[i] < 0.9f - s) raise((0.3f - s) / 20.0f);
    if (Bit(orders, 2) && group[i] < 1.2f - s) raise((0.3f - s) / 20.0f);
    if (((i == 6 && Bit(m, 2)) || (i == 3 && Bit(m, 3))) && group[i] < 1.18f - s) raise(0.01f);
  }
  SetBothCopies(world, region, [&](PlayerPolicyBlock& b) {
    for (int i = 0; i < kSocialPrograms; ++i)
      if (moved[i]) b.socialspend[i] = items[i];
  });

  // 4. The research budget.
  if (!(locks & (kLockResearchA | kLockResearchB))) {
    const float defcon = static_cast<float>(sim.defcon);
    const float e = ResearchFigureB(region) != 0 ? 0.2f : 0.0f;
    const bool allocating = (orders & ((1u << 4) | (0x1Fu << 23))) != 0;
    const float o = allocating ? 0.4f : 0.1f;
    const float now = sim.milspendresearch;
    float next = now;
    if (!allocating) {
      if (now > defcon / 40.0f + r / 10.0f + e + o) next = now * 0.996f;
    } else {
      // With an allocation active the budget climbs toward a higher mark;
      // the two halves of the mark follow the research count and the
      // first allocation's share.
      const float mark = defcon / 5.0f + r / 10.0f + (e > 0.0f ? 0.5f : 0.0f) + (sim.milResearch[0] > 0.5f ? 1.0f : 0.5f);
      if (now < mark) next = now * 1.004f + 0.001f;
    }
    if (next != now) SetBothCopies(world, region, [&](PlayerPolicyBlock& b) { b.milspendresearch = next; });
  }
  // 5. Shift research money between its uses.
  float shares[3] = {sim.milResearch[0], sim.milResearch[1], sim.milResearch[2]};
  bool shifted = false;
  for (const ResearchShift& shift : kResearchShifts) {
    if (!Bit(orders, shift.bit) || !(shares[shift.to] < 1.0f) || !(shares[shift.from] >= 0.2f)) continue;
    shares[shift.to] += kShiftStep;
    shares[shift.from] -= kShiftStep;
    shifted = true;
  }
  if (shifted)
    SetBothCopies(world, region, [&](PlayerPolicyBlock& b) {
      for (int k = 0; k < 3; ++k) b.milResearch[k] = shares[k];
    });
  // 6.
  SetPostRequests(post, 0);
}
