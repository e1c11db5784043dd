#include "editor/editor_tech_panel.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "records/player_record.h"
#include "sim/availability.h"
#include "world/data_tables.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

// A (1) <- B (2) <- C (3); design D (class 1) needs B; class 2 is a plain
// design with no needs, class 3 a facility. Region 1 edits, 2 and 3 receive.
constexpr int kA = 1, kB = 2, kC = 3, kLoose = 4, kD = 1, kFree = 2, kFacility = 3;

std::unique_ptr<World> ChainWorld() {
  auto w = std::make_unique<World>();
  w->techs.assign(5, TechRecord{});
  const uint8_t levels[] = {0, 3, 8, 9, 2};
  for (size_t t = 1; t < 5; ++t) {
    w->techs[t].category = 1;
    w->techs[t].techLevel = levels[t];
  }
  w->techs[kB].prerequisites[0] = kA;
  w->techs[kC].prerequisites[0] = kB;
  w->techs[kC].prerequisites[1] = 5000;  // from a bad table: no technology
  w->gameState.techCount = 5;
  w->gameState.highestPlayer = 3;
  w->techRows.assign(32 * 5, PlayerTechState{});
  w->unitClasses.assign(4, UnitClassRecord{});
  for (size_t k = 1; k < 4; ++k) w->unitClasses[k].name[0] = 'U';
  w->unitClasses[kD].requiredTechs[0] = kB;
  w->unitClasses[kFacility].flags = kClassFacility;
  w->gameState.designRowBytes = 4;
  w->designRows.assign(32 * 4, 0);
  for (int k : {kD, kFree, kFacility}) DesignRow(*w, 1)[k] = 1;
  w->players[1].techLevel = 20.0f;
  return w;
}

uint8_t Known(World& w, int player, int t) { return TechRow(w, player)[t].known; }

TEST(EditorTechs, GrantTakesTheChainAndAKnownLinkStopsIt) {
  for (const bool bKnown : {false, true}) {
    auto w = ChainWorld();
    TechRow(*w, 1)[kC].projectFlags = 0x10;
    if (bKnown) TechRow(*w, 1)[kB].known = 2;
    GrantTechRecursive(*w, 1, kC, kKnownByEditor, true);
    const std::array<int, 4> got{Known(*w, 1, kC), TechRow(*w, 1)[kC].projectFlags, Known(*w, 1, kB), Known(*w, 1, kA)};
    EXPECT_EQ(got, (std::array<int, 4>{1, 0, bKnown ? 2 : 1, bKnown ? 0 : 1})) << bKnown;
  }
}

TEST(EditorTechs, RemoveTakesDependentsAndRevokesDesigns) {
  auto w = ChainWorld();
  GrantTechRecursive(*w, 1, kC, kKnownByEditor, true);
  DesignRow(*w, 1)[0] = 1;  // the unused class
  ClearTechAndDependents(*w, 1, kA, true);
  for (int t : {kA, kB, kC}) EXPECT_EQ(Known(*w, 1, t), 0) << t;
  // D needs B; the unused class and the facility go too; the free design stays.
  const uint8_t* designs = DesignRow(*w, 1);
  EXPECT_EQ((std::array<int, 4>{designs[0] & 1, designs[1] & 1, designs[2] & 1, designs[3] & 1}),
            (std::array<int, 4>{0, 0, 1, 0}));
}

TEST(EditorTechs, ResetVariants) {
  // Level 20: the threshold is 5, so A (3) and the loose technology (2) are
  // known afterwards, B (8) and C (9) not. Variant 1 then pulls B back for D;
  // the never-by-reset flag clears the loose one however low.
  struct Row {
    int32_t variant;
    bool looseNeverByReset;
    std::array<int, 5> known;  // A, B, C, loose, and D's design bit
  };
  const Row rows[] = {{0, false, {1, 0, 0, 1, 0}}, {1, false, {1, 1, 0, 1, 1}},
                      {2, false, {1, 0, 0, 1, 1}}, {2, true, {1, 0, 0, 0, 1}}};
  for (const Row& r : rows) {
    auto w = ChainWorld();
    for (int t : {kB, kC, kLoose}) TechRow(*w, 1)[t] = PlayerTechState{2, 0, 0x10, {}};
    if (r.looseNeverByReset) w->techs[kLoose].flags = 2;
    ResetRegionTechs(*w, 1, r.variant);
    const std::array<int, 5> got{Known(*w, 1, kA) != 0, Known(*w, 1, kB) != 0, Known(*w, 1, kC) != 0,
                                 Known(*w, 1, kLoose) != 0, DesignRow(*w, 1)[kD] & 1};
    EXPECT_EQ(got, r.known) << r.variant << r.looseNeverByReset;
    for (int t = 1; t < 5; ++t) EXPECT_EQ(TechRow(*w, 1)[t].projectFlags, 0) << t;
    EXPECT_EQ(DesignRow(*w, 1)[kFree] & 1, 1);
  }
}

TEST(EditorTechs, CopyGivesEveryOtherRegionTheKnownBytes) {
  auto w = ChainWorld();
  GrantTechRecursive(*w, 1, kC, kKnownByEditor, true);
  TechRow(*w, 2)[kLoose] = PlayerTechState{2, 0, 0x10, {}};
  CopyRegionTechs(*w, 1);
  for (int player : {2, 3})
    for (int t = 0; t < 5; ++t) {
      EXPECT_EQ(Known(*w, player, t), Known(*w, 1, t)) << player << " " << t;
      EXPECT_EQ(TechRow(*w, player)[t].projectFlags, 0);
    }
}

}  // namespace
