// What a campaign's region takes from a finished scenario into the next:
// the slot its record goes to, the units and the groups.
#include "screens/frontend/campaign_start.h"

#include <gtest/gtest.h>

#include <memory>

#include "records/unit_record.h"
#include "sim/campaign_carry_over.h"
#include "world/list_holder.h"
#include "world/unit_groups.h"
#include "world/world.h"

namespace {

TEST(CampaignStart, TheCarryOverTakesTheRegionsRecordUnitsAndGroups) {
  // Slots filled before (-1: the game had no table) and the slot written.
  const struct {
    int filled;
    int32_t slot;
  } rows[] = {{-1, 0}, {0, 0}, {3, 3}, {15, 15}, {16, 15}};
  for (const auto& r : rows) {
    auto w = std::make_unique<World>();
    w->gameState.localPlayer = 2, w->gameState.currentDay = 700;
    w->players[2].kind = 2, w->players[2].treasury = 5.0f;
    if (r.filled >= 0) w->snapshotTable.assign(16, PlayerRecord{});
    for (int i = 0; i < r.filled; ++i) w->snapshotTable[static_cast<size_t>(i)].kind = 3;
    auto *a = new UnitRecord, *b = new UnitRecord;
    a->id = 7, b->id = 9, a->prev = a->next = b, b->prev = b->next = a, w->units = a;
    NewListItem28(b, true, 0, w->unitGroups.groups[2][4]);
    CampaignCarryOver carry;
    FillCampaignCarryOver(*w, carry, 3);
    EXPECT_EQ(carry.snapshotIndex, r.slot) << r.filled;
    ASSERT_EQ(carry.snapshotTable.size(), 16u);
    EXPECT_EQ(carry.snapshotTable[static_cast<size_t>(r.slot)].treasury, 5.0f);
    EXPECT_TRUE(w->snapshotTable.empty() && w->units == nullptr);
    EXPECT_EQ(carry.units, a) << "the ring moves over whole";
    EXPECT_EQ(carry.unitGroups[4], std::vector<uint32_t>{9});
    EXPECT_TRUE(carry.leaderChoice == 3 && carry.previousLocalPlayer == 2 && carry.previousDay == 700u);
    ClearUnitGroups(w->unitGroups);
  }
}

}  // namespace
