// The rules behind the end-of-game screens: when a lost election still
// allows a coup, and how a unification text takes the winner's names.
#include "screens/frontend/end_game_popups.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "world/text/scenario_text.h"

namespace {

TEST(EndGamePopups, CoupNeedsMoreThanTheThresholds) {
  // bonus = (2 - difficulty) / 10, margin = support / 100; possible when
  // military + both > 0.9 or domestic + both > 1.0, strictly.
  const struct {
    float domestic, military;
    int32_t support, difficulty;
    bool possible;
  } rows[] = {
      {1.0f, 0.5f, 0, 2, false},  // exactly 1.0: refused
      {1.0f, 0.5f, 0, 1, true},   // the easier game's bonus
      {1.0f, 0.5f, 1, 2, true},   // one point of support
      {0.5f, 0.9f, 0, 2, false},  // exactly 0.9 military
      {0.5f, 0.85f, 10, 2, true},
      {0.2f, 0.2f, 0, 3, false},  // a harder game takes off
  };
  for (const auto& r : rows)
    EXPECT_EQ(CoupPossible(r.domestic, r.military, r.support, r.difficulty), r.possible)
        << r.domestic << " " << r.military << " " << r.support << " " << r.difficulty;
}

TEST(EndGamePopups, UnificationTextFillsAtMostTwoNames) {
  const struct {
    const char* format;
    const char* expected;
  } rows[] = {
      {"%s rules, led by %s.", "Kessaria rules, led by Anna."},
      {"%s %s %s", "Kessaria Anna %s"},           // a third is left as written
      {"100% sure: %d %n %s", "100% sure: %d %n Kessaria"},  // other conversions stay text
      {"No names", "No names"},
      {"%", "%"},
  };
  for (const auto& r : rows) EXPECT_EQ(FillTwoStrings(r.format, "Kessaria", "Anna"), r.expected) << r.format;

  ScenarioText texts;
  texts.endTexts[kEndSingle][kEndUnifyLose].reset(strdup("%s under %s %x"));
  const VictoryStory story = ChooseVictoryStory(texts, kEndSingle, kEndReasonUnifiedByOther, true, "Kessaria", "AI");
  EXPECT_EQ(story.text, "Kessaria under AI %x");
  EXPECT_EQ(story.result, 0);
  // Without a unification-win text the loss test decides; a missing text is empty.
  EXPECT_EQ(ChooseVictoryStory(texts, kEndSingle, kEndReasonUnified, false, "", "").result, 0);
  EXPECT_EQ(ChooseVictoryStory(texts, kEndSingle, kEndReasonUnified, true, "", "").text, "");
}

}  // namespace
