#include "world/record_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "records/hex_unit_stack.h"
#include "support/global_guard.h"
#include "records/unit_record.h"
#include "world/hex_extra.h"
#include "world/world.h"

namespace {

TEST(RecordHelpers, ClassifyRelationEdges) {
  auto r = std::make_unique<PlayerRecord>();
  const struct {
    int8_t politic;
    int expected;
  } cases[] = {{-128, 0}, {-41, 0}, {-40, 1}, {0, 1}, {40, 1}, {41, 2}, {127, 2}};
  for (const auto& c : cases) {
    r->politic = c.politic;
    EXPECT_EQ(ClassifyRelation(*r), c.expected) << int{c.politic};
  }
}

TEST(RecordHelpers, SmallFloatOrZero) {
  auto r = std::make_unique<PlayerRecord>();
  r->smallFigure = 0.01f;
  EXPECT_EQ(GetSmallFloatOrZero(*r), 0.01f);
  r->smallFigure = 0.0099f;
  EXPECT_EQ(GetSmallFloatOrZero(*r), 0.0f);
  r->smallFigure = -3.0f;
  EXPECT_EQ(GetSmallFloatOrZero(*r), 0.0f);
  r->smallFigure = 7.5f;
  EXPECT_EQ(GetSmallFloatOrZero(*r), 7.5f);
}

TEST(RecordHelpers, WordPairsRecordsAndFlags) {
  WordPair pair{};
  SetWordPair(pair, -4, 300);
  EXPECT_EQ(pair.first, -4);
  EXPECT_EQ(pair.second, 300);
  ClearWordPair(pair);
  EXPECT_EQ(pair.first, 0);
  EXPECT_EQ(pair.second, 0);

  uint32_t a[16], b[16];
  for (int i = 0; i < 16; ++i) a[i] = 0x100u * i + 7;
  std::memset(b, 0, sizeof b);
  CopyRecord64(b, a);
  EXPECT_EQ(std::memcmp(a, b, 64), 0);

  UnitRecord unit{};
  unit.unitFlags = 0x1234;
  EXPECT_EQ(MaskFlags(unit, 0x1030), 0x1030u);
  EXPECT_EQ(MaskFlags(unit, 0x8000), 0u);
}

// A box reaches the painter with its target and rectangle, the painter's
// words zero; with no painter nothing is drawn.
TEST(RecordHelpers, InfoBoxesReachThePainter) {
  static std::vector<std::pair<void*, InfoBoxFrame>> painted;
  painted.clear();
  GlobalGuard<InfoBoxPainter> painter(g_infoBoxPainter, [](void* to, const InfoBoxFrame& f) { painted.emplace_back(to, f); });
  int target = 0;
  DrawInfoBox(&target, -5, 20, 110, 60);
  ASSERT_EQ(painted.size(), 1u);
  const InfoBoxFrame& f = painted[0].second;
  EXPECT_EQ(painted[0].first, &target);
  EXPECT_EQ(std::vector<int32_t>({f.left, f.top, f.right, f.bottom}), std::vector<int32_t>({-5, 20, 110, 60}));
  EXPECT_EQ(std::count(std::begin(f.painterWords), std::end(f.painterWords), 0u), 8);
  g_infoBoxPainter = nullptr;
  DrawInfoBox(&target, 1, 2, 3, 4);
  EXPECT_EQ(painted.size(), 1u);
}

TEST(RecordHelpers, ActiveObjects) {
  UnitRecord unit{};
  EXPECT_FALSE(IsObjectActive(nullptr, false));
  EXPECT_FALSE(IsObjectActive(&unit, false));  // no class
  unit.classIndex = 4001;
  EXPECT_TRUE(IsObjectActive(&unit, false));
  EXPECT_TRUE(IsObjectActive(&unit, true));
  unit.unitFlags = kUnitProvisional;
  EXPECT_TRUE(IsObjectActive(&unit, false));
  EXPECT_FALSE(IsObjectActive(&unit, true));
  unit.unitFlags = kUnitGone;
  EXPECT_FALSE(IsObjectActive(&unit, false));

  HexCell cell;
  EXPECT_EQ(GetActiveObject(nullptr, false), nullptr);
  EXPECT_EQ(GetActiveObject(&cell, false), nullptr);  // no stack
  HexUnitStack* stack = MakeHexStack(cell);
  EXPECT_EQ(GetActiveObject(&cell, false), nullptr);  // no lead unit
  stack->lead = &unit;
  unit.unitFlags = 0;
  EXPECT_EQ(GetActiveObject(&cell, true), &unit);
  unit.unitFlags = kUnitProvisional;
  EXPECT_EQ(GetActiveObject(&cell, false), &unit);
  EXPECT_EQ(GetActiveObject(&cell, true), nullptr);
  FreeHexStack(cell);
}

// A small technology table: entry 0 is the empty "none" slot.
class TechTable : public ::testing::Test {
 protected:
  void SetUp() override { world_ = std::make_unique<World>(); }
  void Make(int count) {
    world_->techs.assign(static_cast<size_t>(count), TechRecord{});
    for (int i = 1; i < count; ++i) world_->techs[static_cast<size_t>(i)].category = 1;
    world_->gameState.techCount = count;
    world_->techRows.assign(static_cast<size_t>(32 * count), PlayerTechState{});
  }
  void Needs(int tech, int16_t a, int16_t b = 0) {
    world_->techs[static_cast<size_t>(tech)].prerequisites[0] = a;
    world_->techs[static_cast<size_t>(tech)].prerequisites[1] = b;
  }
  void Know(int player, int tech) { TechRow(*world_, player)[tech].known = 2; }
  int Met(int player, int tech, bool skipFlagged = false) {
    return TechPrereqsMet(*world_, player, tech, skipFlagged);
  }
  std::unique_ptr<World> world_;
};

TEST_F(TechTable, NoPrerequisitesMeansMet) {
  Make(4);
  EXPECT_EQ(Met(1, 3), 1);
}

TEST_F(TechTable, KnownFlaggedEmptyAndMissingPrerequisites) {
  Make(8);
  Needs(5, 2, 3);
  EXPECT_EQ(Met(1, 5), 0);
  Know(1, 2);
  EXPECT_EQ(Met(1, 5), 0);
  Know(1, 3);
  EXPECT_EQ(Met(1, 5), 1);
  EXPECT_EQ(Met(2, 5), 0);  // another player knows neither

  // A flagged prerequisite counts only when asked to skip flagged ones.
  world_->techs[3].flags = 1;
  Know(2, 2);
  EXPECT_EQ(Met(2, 5, false), 0);
  EXPECT_EQ(Met(2, 5, true), 1);

  // An empty slot counts; a prerequisite beyond the table, or negative, too.
  world_->techs[3].category = 0;
  EXPECT_EQ(Met(2, 5, false), 1);
  Needs(6, 100, -2);
  EXPECT_EQ(Met(3, 6), 1);
}

TEST_F(TechTable, PrerequisitesOfPrerequisitesCount) {
  Make(8);
  Needs(7, 6);
  Needs(6, 5);
  Needs(5, 4);
  Know(1, 6);
  Know(1, 5);
  // Technology 6 is known, but 5's prerequisite 4 is not.
  EXPECT_EQ(Met(1, 7), 0);
  Know(1, 4);
  EXPECT_EQ(Met(1, 7), 1);
}

TEST_F(TechTable, ACycleIsNeverMet) {
  Make(6);
  Needs(2, 3);
  Needs(3, 4);
  Needs(4, 2);
  for (int t : {2, 3, 4}) Know(1, t);
  EXPECT_EQ(Met(1, 2), 0);
  EXPECT_EQ(Met(1, 4), 0);
  Needs(5, 5);  // needs itself
  Know(1, 5);
  EXPECT_EQ(Met(1, 5), 0);
  // Out-of-range technologies asked for directly have nothing to need.
  EXPECT_EQ(Met(1, 99), 1);
  EXPECT_EQ(Met(1, -1), 1);
}

// The rule written out plainly, for tables without cycles.
int PlainMet(const World& w, int player, int tech, bool skip) {
  const TechRecord& record = w.techs[static_cast<size_t>(tech)];
  for (int16_t p : record.prerequisites) {
    if (p == 0) continue;
    if (p < 0 || p >= static_cast<int>(w.techs.size())) continue;
    const TechRecord& need = w.techs[static_cast<size_t>(p)];
    const bool counts = need.category == 0 || (skip && (need.flags & 1)) || TechRow(w, player)[p].known != 0;
    if (!counts || !PlainMet(w, player, p, skip)) return 0;
  }
  return 1;
}

TEST_F(TechTable, MatchesThePlainRuleOnRandomTables) {
  std::mt19937 random(20100501);
  for (int round = 0; round < 200; ++round) {
    const int count = 2 + static_cast<int>(random() % 40);
    Make(count);
    for (int t = 1; t < count; ++t) {
      // Prerequisites only among lower technologies (no cycles), or none,
      // or off the table.
      auto pick = [&]() -> int16_t {
        const uint32_t r = random() % 10;
        if (r < 3) return 0;
        if (r == 3) return static_cast<int16_t>(count + static_cast<int>(random() % 5));
        return static_cast<int16_t>(random() % static_cast<uint32_t>(t));
      };
      Needs(t, pick(), pick());
      world_->techs[static_cast<size_t>(t)].category = random() % 6 == 0 ? 0 : 1;
      world_->techs[static_cast<size_t>(t)].flags = random() % 4 == 0 ? 1 : 0;
      if (random() % 2) Know(3, t);
    }
    for (int t = 0; t < count; ++t)
      for (bool skip : {false, true})
        ASSERT_EQ(Met(3, t, skip), PlainMet(*world_, 3, t, skip)) << "round " << round << " tech " << t;
  }
}

}  // namespace
