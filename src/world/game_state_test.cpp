#include "world/game_state.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "platform/clock.h"
#include "records/le_bytes.h"
#include "records/text_field.h"
#include "world/object_hex_test_support.h"
#include "world/world.h"
#include "support/fixed_clock.h"

namespace {

const uint8_t* Bytes(const GameState& s) { return reinterpret_cast<const uint8_t*>(&s); }

// Each named field lands at the offset the game file gives it, in
// little-endian order: write through the struct, read the raw bytes.
TEST(GameState, FieldsSitAtTheirFileOffsets) {
  GameState s{};
  s.size = 0x01020304;
  s.checksum = 0x0A0B0C0D;
  s.version = 113;
  s.playerCount = 32;
  s.unitCount = 0x1234;
  s.recurringCount = 0x2345;
  s.created.date.dayNumber = 2455317;
  s.created.milliseconds = 53589;
  s.saved.hour = 23;
  s.designRowBytes = 4132;
  s.techCount = 77;
  s.commandCount = 9;
  s.currentHex = {-3, 7, 0xAABBCCDD, 0x11};
  s.viewHex = {5, -6, 0x22, 0x33};
  s.currentDay = 2455400;
  s.endDay = 2460000;
  s.turnNumber = 42;
  s.highestPlayer = 17;
  s.word140 = 2;
  s.mapTuning[0] = 1.5f;
  s.mapTuning[1] = -2.0f;
  SetFieldText(s.mapName, "Map");
  SetFieldText(s.scenarioName, "Scenario");
  SetFieldText(s.scenarioTextName, "Text");
  s.hotSeatMode = 1;
  s.speedLockMode = 1;
  s.localPlayer = 6;
  s.daysPerTurn = 7;
  s.startDay = 2455318;
  s.dayParity = 1;
  s.currentTick = 0x11223344;
  s.commandLead = 12;
  s.timedTurnCountdown = -5;
  s.dayPeriod = 11;
  s.dailyFlags = 1;
  s.speedChangeAllowed = 3;
  s.timedTurnSpeedTier = 2;
  s.gameSpeed = 40;
  s.worldPopulation = 6.5e9f;
  s.minutesLeft = 1440;
  s.visibilitySteps = 241;
  s.stringPoolSize = 512;
  s.flag444 = 0x5A;
  s.scenarioWinner = 9;
  s.endReason = 3;
  s.winnersMask = 0x80000006;
  s.visibilityLfsr = 0xABC;
  s.fileFlags = 3;
  s.pendingTurnMessage = 499;

  const uint8_t* b = Bytes(s);
  EXPECT_EQ(le::Load32(b + 0), 0x01020304u);
  EXPECT_EQ(b[0], 0x04);
  EXPECT_EQ(le::Load32(b + 4), 0x0A0B0C0Du);
  EXPECT_EQ(le::Load32(b + 8), 113u);
  EXPECT_EQ(le::Load32(b + 12), 32u);
  EXPECT_EQ(le::Load32(b + 16), 0x1234u);
  EXPECT_EQ(le::Load32(b + 20), 0x2345u);
  EXPECT_EQ(le::Load32(b + 24), 2455317u);
  EXPECT_EQ(le::Load16(b + 24 + 10), 53589u);
  EXPECT_EQ(b[36 + 8], 23);
  EXPECT_EQ(le::Load32(b + 52), 4132u);
  EXPECT_EQ(le::Load32(b + 56), 77u);
  EXPECT_EQ(le::Load32(b + 60), 9u);
  EXPECT_EQ(le::LoadI16(b + 64), -3);
  EXPECT_EQ(le::LoadI16(b + 66), 7);
  EXPECT_EQ(le::Load32(b + 68), 0xAABBCCDDu);
  EXPECT_EQ(le::Load32(b + 72), 0x11u);
  EXPECT_EQ(le::LoadI16(b + 92), 5);
  EXPECT_EQ(le::LoadI16(b + 94), -6);
  EXPECT_EQ(le::Load32(b + 96), 0x22u);
  EXPECT_EQ(le::Load32(b + 100), 0x33u);
  EXPECT_EQ(le::Load32(b + 120), 2455400u);
  EXPECT_EQ(le::Load32(b + 124), 2460000u);
  EXPECT_EQ(le::Load32(b + 132), 42u);
  EXPECT_EQ(le::Load32(b + 136), 17u);
  EXPECT_EQ(le::Load32(b + 140), 2u);
  EXPECT_EQ(le::LoadF32(b + 148), 1.5f);
  EXPECT_EQ(le::LoadF32(b + 152), -2.0f);
  EXPECT_STREQ(reinterpret_cast<const char*>(b + 188), "Map");
  EXPECT_STREQ(reinterpret_cast<const char*>(b + 208), "Scenario");
  EXPECT_STREQ(reinterpret_cast<const char*>(b + 248), "Text");
  EXPECT_EQ(le::Load32(b + 268), 1u);
  EXPECT_EQ(le::Load32(b + 272), 1u);
  EXPECT_EQ(le::Load32(b + 308), 6u);
  EXPECT_EQ(le::Load32(b + 312), 7u);
  EXPECT_EQ(le::Load32(b + 316), 2455318u);
  EXPECT_EQ(le::Load32(b + 320), 1u);
  EXPECT_EQ(le::Load32(b + 324), 0x11223344u);
  EXPECT_EQ(le::Load32(b + 328), 12u);
  EXPECT_EQ(le::LoadI32(b + 332), -5);
  EXPECT_EQ(b[336], 11);
  EXPECT_EQ(b[337], 1);
  EXPECT_EQ(b[338], 3);
  EXPECT_EQ(b[339], 2);
  EXPECT_EQ(le::Load32(b + 340), 40u);
  EXPECT_EQ(le::LoadF32(b + 344), 6.5e9f);
  EXPECT_EQ(le::Load32(b + 388), 1440u);
  EXPECT_EQ(le::Load32(b + 404), 241u);
  EXPECT_EQ(le::Load32(b + 440), 512u);
  EXPECT_EQ(b[444], 0x5A);
  EXPECT_EQ(b[547], 9);
  EXPECT_EQ(le::Load32(b + 548), 3u);
  EXPECT_EQ(le::Load32(b + 552), 0x80000006u);
  EXPECT_EQ(le::Load32(b + 560), 0xABCu);
  EXPECT_EQ(le::Load32(b + 564), 3u);
  EXPECT_EQ(le::Load32(b + 568), 499u);
  EXPECT_EQ(sizeof(GameState), 580u);
}

// Bytes nobody names go through a copy untouched: the file keeps them as
// they stand.
TEST(GameState, UnnamedBytesSurviveACopy) {
  GameState s{};
  uint8_t* b = reinterpret_cast<uint8_t*>(&s);
  b[130] = 0x77;
  b[400] = 0x66;
  b[575] = 0x55;
  GameState copy = s;
  EXPECT_EQ(std::memcmp(&copy, &s, sizeof s), 0);
}

TEST(GameState, InitGameStateStartsANewGame) {
  FixedClock clock{{.year = 2012, .month = 7, .day = 4, .hour = 18, .minute = 5, .second = 9, .milliseconds = 250}, 5};
  plat::SetClockSource(&clock);
  MapHeader map = MapHeaderWithSizes();
  map.startDay = 2455317;
  SetFieldText(map.gameTitle, "SPRINGTIDE");
  map.tuning[0] = 1.25f;
  map.tuning[1] = 0.75f;
  RecordPublishedHexes published;

  GameState s;
  std::memset(static_cast<void*>(&s), 0xCD, sizeof s);
  InitGameState(s, map);
  plat::SetClockSource(nullptr);

  EXPECT_EQ(s.size, 580u);
  EXPECT_EQ(s.version, 113u);
  EXPECT_EQ(s.playerCount, 32);
  EXPECT_EQ(s.highestPlayer, 2);
  EXPECT_EQ(s.word140, 2u);
  EXPECT_EQ(s.turnNumber, 0u);
  EXPECT_EQ(s.currentDay, 2455317u);
  EXPECT_STREQ(s.mapName, "SPRINGTIDE");
  EXPECT_STREQ(s.scenarioName, "SPRINGTIDE");
  EXPECT_STREQ(s.scenarioTextName, "SPRINGTIDE");
  EXPECT_EQ(s.visibilityLfsr, 1u);
  EXPECT_EQ(s.mapTuning[0], 1.25f);
  EXPECT_EQ(s.mapTuning[1], 0.75f);
  EXPECT_EQ(s.localPlayer, 1);
  EXPECT_EQ(s.daysPerTurn, 1);
  EXPECT_EQ(s.currentHex.x, 0);
  EXPECT_EQ(s.viewHex.cellIndex, 0u);
  // 4 July 2012, 18:05:09.250.
  EXPECT_EQ(s.created.date.year, 2012);
  EXPECT_EQ(s.created.date.month, 7);
  EXPECT_EQ(s.created.date.day, 4);
  EXPECT_EQ(s.created.date.dayNumber, 2456112);  // 795 days after 1 May 2010
  EXPECT_EQ(s.created.hour, 18);
  EXPECT_EQ(s.created.minute, 5);
  EXPECT_EQ(s.created.milliseconds, 9250);
  EXPECT_EQ(published->clears, 1);

  // Every other byte is zero.
  GameState expected = s;
  std::memset(static_cast<void*>(&expected), 0, sizeof expected);
  expected.size = 580;
  expected.version = 113;
  expected.created = s.created;
  expected.playerCount = 32;
  expected.highestPlayer = 2;
  expected.word140 = 2;
  expected.currentDay = 2455317;
  SetFieldText(expected.mapName, "SPRINGTIDE");
  SetFieldText(expected.scenarioName, "SPRINGTIDE");
  SetFieldText(expected.scenarioTextName, "SPRINGTIDE");
  expected.visibilityLfsr = 1;
  expected.mapTuning[0] = 1.25f;
  expected.mapTuning[1] = 0.75f;
  expected.localPlayer = 1;
  expected.daysPerTurn = 1;
  EXPECT_EQ(std::memcmp(&expected, &s, sizeof s), 0);
}

// A game title longer than the map name field is cut to fit, terminated.
TEST(GameState, LongTitlesAreCutToTheirFields) {
  MapHeader map = MapHeaderWithSizes();
  std::memset(map.gameTitle, 'A', sizeof map.gameTitle);  // no terminator
  auto s = std::make_unique<GameState>();
  InitGameState(*s, map);
  EXPECT_EQ(std::strlen(s->mapName), 19u);
  EXPECT_EQ(std::strlen(s->scenarioTextName), 19u);
  EXPECT_EQ(std::strlen(s->scenarioName), 20u);
}

}  // namespace
