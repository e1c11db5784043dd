#include "world/game_time.h"

#include <gtest/gtest.h>

#include <memory>

#include "world/world.h"

namespace {

class GameTimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = std::make_unique<World>();
    world_->mapHeader.startDay = 2455317;  // 1 May 2010
  }
  std::unique_ptr<World> world_;
};

TEST_F(GameTimeTest, MinutesToDate) {
  GameDateTime t = GameMinutesToDate(*world_, 0);
  EXPECT_EQ(t.date.dayNumber, 2455317);
  EXPECT_EQ(t.date.year, 2010);
  EXPECT_EQ(t.date.month, 5);
  EXPECT_EQ(t.date.day, 1);
  EXPECT_EQ(t.hour, 0);
  EXPECT_EQ(t.minute, 0);

  // 31 days, 13 hours and 7 minutes in: 1 June 2010, 13:07.
  t = GameMinutesToDate(*world_, 31 * 1440 + 13 * 60 + 7);
  EXPECT_EQ(t.date.dayNumber, 2455348);
  EXPECT_EQ(t.date.year, 2010);
  EXPECT_EQ(t.date.month, 6);
  EXPECT_EQ(t.date.day, 1);
  EXPECT_EQ(t.hour, 13);
  EXPECT_EQ(t.minute, 7);

  // The last minute of a day.
  t = GameMinutesToDate(*world_, 1439);
  EXPECT_EQ(t.date.day, 1);
  EXPECT_EQ(t.hour, 23);
  EXPECT_EQ(t.minute, 59);
}

TEST_F(GameTimeTest, DateTimeToMinutes) {
  // Hour in the low byte, minute in the next.
  EXPECT_EQ(DateTimeToGameMinutes(*world_, 2455317, 0), 0);
  EXPECT_EQ(DateTimeToGameMinutes(*world_, 2455348, 13 | (7 << 8)), 31 * 1440 + 13 * 60 + 7);
  // A minute of 59 or more counts as 59.
  EXPECT_EQ(DateTimeToGameMinutes(*world_, 2455318, 2 | (75 << 8)), 1440 + 2 * 60 + 59);
  EXPECT_EQ(DateTimeToGameMinutes(*world_, 2455318, 2 | (59 << 8)), 1440 + 2 * 60 + 59);
  // Bits above the minute byte are not part of it.
  EXPECT_EQ(DateTimeToGameMinutes(*world_, 2455318, 2 | (5 << 8) | (9u << 16)), 1440 + 2 * 60 + 5);
  // A day before the start counts back.
  EXPECT_EQ(DateTimeToGameMinutes(*world_, 2455316, 23 | (30 << 8)), -30);
}

// Every minute of a few years goes to a date and back to the same minute.
TEST_F(GameTimeTest, RoundTripOverYears) {
  for (uint32_t minutes = 0; minutes < 4u * 366 * 1440; minutes += 517) {
    const GameDateTime t = GameMinutesToDate(*world_, minutes);
    GameDate check = t.date;
    DateToDayNumber(check);
    ASSERT_EQ(check.dayNumber, t.date.dayNumber) << minutes;
    const uint32_t packed = t.hour | (static_cast<uint32_t>(t.minute) << 8);
    ASSERT_EQ(DateTimeToGameMinutes(*world_, static_cast<uint32_t>(t.date.dayNumber), packed),
              static_cast<int32_t>(minutes));
  }
}

}  // namespace
