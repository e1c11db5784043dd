// The sample's orders table as the order lists offer it: every offered row
// that aims at a hex carries the bits the unit step needs to carry it out.
// A row that fires but names nothing it may hit on a hex fires at nothing;
// one that launches cargo without asking for launchable cargo launches
// nothing; one that sends aircraft at a foreign hex without a mission never
// leaves the base.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/paths.h"
#include "records/order_words.h"
#include "world/text/order_types.h"

namespace {

constexpr uint32_t kNeedsTargetHex = 1u << 28;
constexpr uint32_t kNeedsStockCargo = 1u << 23;
constexpr uint32_t kSecondHexBits = kOrderLiftBits | (1u << 26);
constexpr uint32_t kPartnerBits = kOrderAimedAtLeader | (1u << 28);
constexpr int kAir = 1;

TEST(SampleOrdersTable, EveryOfferedHexOrderCanReachItsEffect) {
  const std::string oldRoot = plat::DataRoot();
  plat::SetDataRoot(std::filesystem::path(VD_GAME_EXE).parent_path().string());
  static OrderTypeTable table;
  table = OrderTypeTable{};
  ASSERT_EQ(LoadOrdersTable(table, "orders"), plat::kOk);
  plat::SetDataRoot(oldRoot);
  int offered = 0;
  for (int id = 0; id < kOrderTypeCount; ++id) {
    const OrderTypeRecord& r = table.entries[id];
    const std::string name = r.name.c_str();
    if (name.empty() || !(r.listModes & 3) || !(r.requirements & kNeedsTargetHex)) continue;
    ++offered;
    SCOPED_TRACE(std::to_string(id) + " " + name);
    const uint32_t f = r.orderFlags;
    const bool fires = (f & kOrderTargetBits) != 0;
    const bool foreignOnly = !r.hexRelation[0] && !r.facilityRelation[0];
    EXPECT_TRUE(f & (kOrderMissionByte | kOrderTargetAndKeep | kSecondHexBits | kPartnerBits)) << "does something";
    if (f & kOrderLaunchCargo) {
      EXPECT_TRUE(r.requirements & kNeedsStockCargo) << "launches only what it carries";
    } else if (fires && foreignOnly) {
      EXPECT_TRUE(f & kOrderHexAttackBits) << "names what it may hit on the hex";
    }
    if (fires && foreignOnly && r.categories[kAir]) {
      EXPECT_TRUE(f & kOrderMissionByte) << "aircraft take off";
    }
  }
  EXPECT_GT(offered, 10);
}

}  // namespace
