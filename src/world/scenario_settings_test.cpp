#include "world/scenario_settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "net/game_messages.h"
#include "records/le_bytes.h"

namespace {

TEST(ScenarioSettings, HeadFieldsSitAtTheirMessageOffsets) {
  ScenarioHead head{};
  head.id = kScenarioHeadId;
  head.size = kScenarioHeadSize;
  head.svictorycond = 1;
  head.difficulty = 2;
  head.resources = 3;
  head.gamelength = 4;
  head.techtreedefault = 5;
  head.gameFlags = 0x2B091;
  head.startyear = 2010;
  head.turnlength = 7;
  head.initialfunds = 8;
  head.reservelimit = 9;
  head.aistance = 10;
  head.groupnum = 11;
  head.programVersion = 0x010203;
  const auto* b = reinterpret_cast<const uint8_t*>(&head);
  EXPECT_EQ(le::Load32(b + 0), 0x20003u);
  EXPECT_EQ(le::Load32(b + 4), 140u);
  EXPECT_EQ(b[73], 1);
  EXPECT_EQ(b[74], 2);
  EXPECT_EQ(b[75], 3);  // the stock setting
  EXPECT_EQ(b[76], 4);
  EXPECT_EQ(b[77], 5);
  EXPECT_EQ(le::Load32(b + 80), 0x2B091u);  // the rule flags
  EXPECT_EQ(le::Load32(b + 84), 2010u);
  EXPECT_EQ(le::Load32(b + 88), 7u);
  EXPECT_EQ(b[100], 8);  // the money setting
  EXPECT_EQ(b[101], 9);
  EXPECT_EQ(b[102], 10);
  EXPECT_EQ(b[112], 11);
  EXPECT_EQ(le::Load32(b + 120), 0x010203u);
  EXPECT_EQ(sizeof head, 140u);
}

TEST(ScenarioSettings, ClearFreesEverythingAndKeepsAValidHead) {
  auto s = std::make_unique<ScenarioSettings>();
  InitScenarioSettings(*s);
  EXPECT_EQ(s->head.id, 0x20003u);
  EXPECT_EQ(s->head.size, 140u);
  s->gamfile = strdup("SPRING.GAM");
  s->gmtfile = strdup("SPRING");
  s->nextupmap = strdup("SUMMER");
  s->winmaps[0].mapName = strdup("WIN0");
  s->winmaps[15].mapName = strdup("WIN15");
  s->losemaps[7].mapName = strdup("LOSE7");
  s->head.difficulty = 3;
  s->head.gameFlags = 0x2000;
  s->groupingCount = 4;
  s->victoryHexX = 9;

  ClearScenarioSettings(*s);  // the sanitizer build sees anything left behind
  EXPECT_EQ(s->gamfile, nullptr);
  EXPECT_EQ(s->gmtfile, nullptr);
  EXPECT_EQ(s->nextupmap, nullptr);
  EXPECT_EQ(s->winmaps[15].mapName, nullptr);
  EXPECT_EQ(s->losemaps[7].mapName, nullptr);
  EXPECT_EQ(s->groupingCount, 0);
  EXPECT_EQ(s->victoryHexX, 0);
  // A cleared record's head is still a message peers accept, holding the
  // set-up defaults (all but the seed at 116).
  ScenarioHead defaults{};
  InitSettingsHead(defaults);
  const auto* b = reinterpret_cast<const uint8_t*>(&s->head);
  const auto* d = reinterpret_cast<const uint8_t*>(&defaults);
  for (size_t i = 0; i < sizeof(ScenarioHead); ++i)
    if (i < 116 || i >= 120) {
      EXPECT_EQ(b[i], d[i]) << i;
    }

  ClearScenarioSettings(*s);  // twice is harmless
  EXPECT_EQ(s->gamfile, nullptr);
}

}  // namespace
