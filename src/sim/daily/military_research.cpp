#include "sim/daily/military_research.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/game_math.h"
#include "sim/availability.h"
#include "sim/daily/research_fields.h"
#include "sim/message_ids.h"
#include "sim/player_message_link.h"
#include "sim/player_messages.h"
#include "world/list_items.h"
#include "world/record_figures_check.h"
#include "records/player_record.h"
#include "world/world.h"

namespace {

constexpr float kProgramWeights[kPrograms] = {0.1f, 0.1f, 0.05f};

float Root(float v) { return std::sqrt(std::max(v, 0.0f)); }

float Capacity(const PlayerRecord& r, size_t at, int kind) { return RecordF32(r, at + 4 * static_cast<size_t>(kind)); }

void Tell(World& world, PlayerRecord& region, int self, int32_t type) { PostPlayerMessageTo(world, region, self, type, 0); }

void Broadcast(World& world, PlayerRecord& region, uint32_t type) {
  BroadcastPlayerMessage(world, region, 0, type, type, type, nullptr, MessageParams{});
}

bool Counts(const World& world, const ProjectEntry& item, int self, uint32_t flags) {
  return (flags & kProjectPursued) && !(flags & (kProjectHeld | kProjectClosed)) &&
         ItemAvailability(world, item, self) != 0;
}
bool Counts(const World& world, const ProjectEntry& item, int self) { return Counts(world, item, self, item.simFlags); }

// The items under research, up to the day's capacity, in list order.
template <typename Visit>
int EachCountedItem(World& world, int self, float capacity, Visit visit) {
  int count = 0;
  ListNode& head = world.projectLists[self];
  for (ListNode* node = head.next(); node && node != &head; node = node->next()) {
    if (static_cast<float>(count) >= capacity) break;
    auto* item = static_cast<ProjectEntry*>(node);
    if (!Counts(world, *item, self)) continue;
    ++count;
    visit(*item);
  }
  return count;
}

}  // namespace

int ResearchItemsUnderWay(const World& world, int self, float capacity, bool displayCopy) {
  if (self < 0 || self >= kMaxPlayers) return 0;
  int count = 0;
  const ListNode& head = world.projectLists[self];
  for (const ListNode* node = head.next(); node && node != &head; node = node->next()) {
    if (static_cast<float>(count) >= capacity) break;
    const auto* item = static_cast<const ProjectEntry*>(node);
    if (Counts(world, *item, self, displayCopy ? item->displayFlags : item->simFlags)) ++count;
  }
  return count;
}

namespace {

void Programs(World& world, PlayerRecord& region, int self) {
  const float committed3 = Capacity(region, kCapacityByKind, 3);
  uint8_t& requests = ProgramBuyRequests(region.simPolicy);
  if ((requests & 7u) && committed3 != 0.0f) {
    int i = 0;
    while (!(requests & (1u << i))) ++i;
    const uint16_t ready = RecordU16(region, kProgramReady + 2 * static_cast<size_t>(i));
    if (ready != 0) {
      const float price = region.gdpPerCapita * 20000.0f;
      if (region.treasury <= price) {
        Tell(world, region, self, kMsgProgrammeUnpaid);
      } else {
        const size_t stockAt = kProgramStock + 2 * static_cast<size_t>(i);
        SetRecordU16(region, stockAt, static_cast<uint16_t>(RecordU16(region, stockAt) + 1));
        SetRecordU16(region, kProgramReady + 2 * static_cast<size_t>(i), static_cast<uint16_t>(ready - 1));
        ChargeTreasury(world, region, Ledger::kResearch, price);
        Broadcast(world, region, kMsgProgrammeBoughtNews);
        Tell(world, region, self, kMsgProgrammeBought);
      }
    }
    const uint8_t cleared = static_cast<uint8_t>(~(1u << i));
    requests &= cleared;
    WorldLockGuard hold(world, kLockCommandLog);
    ProgramBuyRequests(region.displayPolicy) &= cleared;
  }
  for (int i = 0; i < kPrograms; ++i) {
    const size_t progressAt = kProgramProgress + 4 * static_cast<size_t>(i);
    uint8_t& orders = ProgramOrders(region.simPolicy, i);
    if (orders == 0 || committed3 == 0.0f) {
      SetRecordF32(region, progressAt, 0.0f);
      continue;
    }
    const float start = static_cast<float>(i * 20 + 90);
    float progress = RecordF32(region, progressAt);
    if (progress == 0.0f) progress = start;
    const float step = committed3 / 3.0f;
    const float cost = step * (static_cast<float>(i * i * 5000 + 20000) * region.gdpPerCapita / start);
    if (region.treasury <= cost) {
      Tell(world, region, self, kMsgProgrammeStalled);
    } else {
      progress -= step;
      ChargeTreasury(world, region, Ledger::kResearch, cost);
      if (progress < 1.0f) {
        orders = static_cast<uint8_t>(orders - 1);
        {
          WorldLockGuard hold(world, kLockCommandLog);
          uint8_t& shown = ProgramOrders(region.displayPolicy, i);
          if (shown > 0) shown = static_cast<uint8_t>(shown - 1);
        }
        const size_t readyAt = kProgramReady + 2 * static_cast<size_t>(i);
        SetRecordU16(region, readyAt, static_cast<uint16_t>(RecordU16(region, readyAt) + 1));
        Tell(world, region, self, kMsgProgrammeUnitReady);
      }
    }
    SetRecordF32(region, progressAt, progress);
  }
  for (int i = 0; i < kPrograms; ++i) {
    const float stock = static_cast<float>(RecordU16(region, kProgramStock + 2 * static_cast<size_t>(i)));
    const float x = std::min(stock * kProgramWeights[i], 1.0f);
    const size_t at = kProgramReadiness + 4 * static_cast<size_t>(i);
    const float old = RecordF32(region, at);
    SetRecordF32(region, at, x <= old ? x : (old * 99.0f + x) / 100.0f);
  }
}

}  // namespace

float ResearchBaseCost(float techLevel) { return GamePow(10.0f, techLevel / 20.0f) * 96000.0f / 2.0f / 365.0f; }

void DailyMilitaryResearch(World& world, PlayerRecord& region) {
  if (region.kind != kKindHuman && region.kind != kKindComputer) return;
  if (&region < world.players || &region >= world.players + kMaxPlayers) return;
  const int self = static_cast<int>(&region - world.players);
  float* shares = region.simPolicy.milResearch;  // level, technologies, efficiency
  shares[2] = std::clamp(shares[2], 0.0f, 1.0f);
  shares[0] = std::clamp(shares[0], 0.0f, 1.0f - shares[2]);
  shares[1] = std::clamp(shares[1], 0.0f, 1.0f - shares[2] - shares[0]);

  // Every region researches at one site of its own.
  const size_t dayKind1 = kDayCapacityByKind + 4;
  SetRecordF32(region, dayKind1, RecordF32(region, dayKind1) + 1.0f);
  SetRecordF32(region, kDayKind1Strength, RecordF32(region, kDayKind1Strength) + 0.4f);
  const float capacity = RecordF32(region, dayKind1);
  const float strength = RecordF32(region, kDayKind1Strength);

  const float z = ResearchBaseCost(region.techLevel);
  float budget =
      region.researchBudget * std::min(region.simPolicy.milspendresearch, Root(Capacity(region, kCapacityByKind, 1))) /
      365.0f;
  if (region.treasury < budget) budget = std::max(0.9f * region.treasury, 0.0f);

  float weight = 0.0f;
  int count = 0;
  int16_t items = 0;
  const float techShare = budget * shares[1];
  float v = 0.0f;
  float w = 0.0f;
  // Kinds of the items finished today, in list order; they are announced
  // once the list is let go.
  std::vector<bool> granted;
  {
    // The posting threads insert new projects into the list under this lock.
    WorldLockGuard hold(world, kLockProjects);
    count = EachCountedItem(world, self, capacity, [&](ProjectEntry& item) { weight += ItemRatio(world, item) * 3.0f; });
    items = static_cast<int16_t>(count);
    if (techShare > 0.0f && weight > 0.0f) {
      w = weight;
      v = std::min(techShare / weight, strength / std::min(static_cast<float>(count), capacity) * 3.0f);
      EachCountedItem(world, self, capacity, [&](ProjectEntry& item) {
        item.remainingCost -= v * region.researchEfficiency;
        if (item.remainingCost > 0.0f) return;
        granted.push_back(item.kind == kProjectTechnology);
        GrantItem(world, item, self);
        --items;
      });
    }
  }
  for (const bool technology : granted) {
    Tell(world, region, self, technology ? kMsgResearchDone : kMsgDesignDone);
    Tell(world, region, self, technology ? kMsgTechnologyMastered : kMsgNewDesign);
    Broadcast(world, region, kMsgRivalResearchNews);
  }
  le::Store16(RecordBytes(region) + kResearchItemCount, static_cast<uint16_t>(items));

  const float h = (techShare - v * w) / 2.0f;
  const float efficiencyFunds = budget * shares[2] + h;
  const float levelFunds = budget * shares[0] + h;
  if (region.researchEfficiency <= 0.0f) region.researchEfficiency = region.gdpInput5;
  region.researchEfficiency = (region.researchEfficiency * 58.0f + region.militarySpendIndex / 2.0f + 0.5f +
                               Root(efficiencyFunds / z + 0.01f)) /
                              60.0f;
  const float before = std::trunc(region.techLevel);
  region.techLevel =
      std::min(region.techLevel + Root(levelFunds / z + 0.01f) / 365.0f * region.researchEfficiency, kTopTechLevel);
  if (std::trunc(region.techLevel) > before) {
    Tell(world, region, self, kMsgTechLevel);
    Broadcast(world, region, kMsgTechLevelNews);
  }

  SetRecordF32(region, kResearchSpentToday, v * region.researchEfficiency);
  region.researchBudget = std::min(capacity * region.gdp * 0.005f, region.gdp * 0.1f);
  ChargeTreasury(world, region, Ledger::kResearch, budget);
  Programs(world, region, self);
}
