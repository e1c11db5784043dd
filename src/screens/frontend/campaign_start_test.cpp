// What a campaign's region takes from a finished scenario into the next:
// the slot its record goes to, the units and the groups; and the region a
// follow-up scenario gives the player.
#include "screens/frontend/campaign_start.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>

#include "records/unit_record.h"
#include "sim/campaign_carry_over.h"
#include "support/global_guard.h"
#include "world/list_holder.h"
#include "world/text/scenario_def.h"
#include "world/unit_groups.h"
#include "world/world.h"

namespace {

TEST(CampaignStart, TheCarryOverTakesTheRegionsRecordUnitsAndGroups) {
  // Whether the game had a table, the game's campaign step, the slot
  // written and the step the game is left with.
  const struct {
    bool table;
    uint8_t step;
    int32_t slot;
    uint8_t stepAfter;
  } rows[] = {{false, 4, 0, 0}, {true, 0, 0, 0}, {true, 3, 3, 3}, {true, 15, 15, 15}, {true, 40, 15, 40}};
  for (const auto& r : rows) {
    auto w = std::make_unique<World>();
    w->gameState.localPlayer = 2, w->gameState.currentDay = 700;
    w->gameState.campaignStep = r.step;
    w->players[2].kind = 2, w->players[2].treasury = 5.0f;
    if (r.table) w->snapshotTable.assign(16, PlayerRecord{});
    auto *a = new UnitRecord, *b = new UnitRecord;
    a->id = 7, b->id = 9, a->prev = a->next = b, b->prev = b->next = a, w->units = a;
    NewListItem28(b, true, 0, w->unitGroups.groups[2][4]);
    CampaignCarryOver carry;
    FillCampaignCarryOver(*w, carry, 3);
    EXPECT_EQ(carry.snapshotIndex, r.slot) << int{r.step};
    EXPECT_EQ(w->gameState.campaignStep, r.stepAfter) << int{r.step};
    ASSERT_EQ(carry.snapshotTable.size(), 16u);
    EXPECT_EQ(carry.snapshotTable[static_cast<size_t>(r.slot)].treasury, 5.0f);
    EXPECT_EQ(carry.snapshotTable[static_cast<size_t>(r.slot)].carriedFlag, 1) << "the region carries on";
    EXPECT_TRUE(w->snapshotTable.empty() && w->units == nullptr);
    EXPECT_EQ(carry.units, a) << "the ring moves over whole";
    EXPECT_EQ(carry.unitGroups[4], std::vector<uint32_t>{9});
    EXPECT_TRUE(carry.leaderChoice == 3 && carry.previousLocalPlayer == 2 && carry.previousDay == 700u);
    ClearUnitGroups(w->unitGroups);
  }
}

TEST(CampaignStart, TheRegionPlayedIsTheLastHumanOfItsGroupOnAWalkOfClockManySteps) {
  // Nine regions; 2 and 7 are human-led. Grouping 1 holds 2 and 3 (3 leads
  // 4), grouping 2 only computer-led 5.
  static bool humans[10];
  std::fill(std::begin(humans), std::end(humans), false);
  humans[2] = humans[7] = true;
  GlobalGuard<ScenarioGroupings> groupings(g_scenarioGroupings, ScenarioGroupings{});
  g_scenarioGroupings.groupings[1].entries[2].mask = 1u << 2;
  g_scenarioGroupings.groupings[1].entries[3].mask = (1u << 3) | (1u << 4);
  g_scenarioGroupings.groupings[2].entries[5].mask = 1u << 5;
  const struct {
    int32_t entryRegion, group;
    uint32_t clock;
    int32_t regions, region;
  } rows[] = {
      {0, 0, 0, 9, 7},     // the walk ends on region 1: 7 came last
      {0, 0, 5, 9, 2},     // five steps more end on 6: 2 came last
      {0, 0, 64 + 5, 9, 2},  // only the clock's low six bits count
      {0, 1, 0, 9, 2},     // 7 is not of grouping 1
      {0, 2, 0, 9, 0},     // no human-led region in grouping 2
      {0, 3, 0, 9, 0},     // an empty grouping
      {6, 2, 0, 9, 6},     // the entry's own region, whatever it is
      {0, 0, 0, 0, 0},     // no regions
  };
  for (const auto& r : rows)
    EXPECT_EQ(PickCampaignRegion(r.entryRegion, r.group, r.clock, r.regions, InCampaignGroup,
                                 [](int32_t p) { return p >= 0 && p < 10 && humans[p]; }),
              r.region)
        << r.entryRegion << "/" << r.group << "/" << r.clock;
}

TEST(CampaignStart, AGroupsRegionsAreTheOnesThatStandInItUnled) {
  GlobalGuard<ScenarioGroupings> groupings(g_scenarioGroupings, ScenarioGroupings{});
  g_scenarioGroupings.groupings[4].entries[3].mask = (1u << 3) | (1u << 9);
  const struct {
    int32_t region, group;
    bool in;
  } rows[] = {{3, 4, true}, {9, 4, false}, {3, 5, false}, {3, 0, false}, {3, 32, false}, {-1, 4, false}, {32, 4, false}};
  for (const auto& r : rows) EXPECT_EQ(InCampaignGroup(r.region, r.group), r.in) << r.region << "/" << r.group;
}

}  // namespace
