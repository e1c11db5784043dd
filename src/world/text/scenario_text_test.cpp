#include "world/text/scenario_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/paths.h"
#include "platform/status.h"
#include "support/temp_dir.h"
#include "world/text/scenario_def.h"
#include "world/text/tutorial_table.h"

namespace {

class ScenarioTextFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    oldRoot_ = plat::DataRoot();
    plat::SetDataRoot(dir_.path());
    InitScenarioSettings(settings_);
    groupings_ = std::make_unique<ScenarioGroupings>();
    text_ = std::make_unique<ScenarioText>();
  }
  void TearDown() override {
    ClearScenarioSettings(settings_);
    plat::SetDataRoot(oldRoot_);
  }
  void Write(const std::string& name, const std::string& text) const {
    dir_.Write("Localize/LOCALEN/" + name + ".GMT", text);
  }
  int32_t Load(const std::string& name) {
    return LoadScenarioText(*text_, settings_, *groupings_, "LOCALEN", name.c_str());
  }

  TempDir dir_;
  std::string oldRoot_;
  ScenarioSettings settings_;
  std::unique_ptr<ScenarioGroupings> groupings_;
  std::unique_ptr<ScenarioText> text_;
};

const char* const kSample =
    "Scenario text\r\n"
    "&&SCENNAME\r\n\"Iron Coast, 2010\"\r\n"
    "&&REGIONS\r\nNorthmark\r\nSouthvale, ignored\r\nEastreach\r\n\r\nNot a region\r\n"
    "&&GROUPINGS\r\nTwo Blocs, North Bloc, South Bloc\r\nAlone, , Second\r\n\r\n"
    "&&BRIEF\r\nHold the coast.\r\n"
    "&&NOTES\r\n\"Notes, with a comma\"\r\n"
    "&&CUSTOMNOTES 5\r\nNote five\r\n&&CUSTOMNOTES, 0\r\nNote zero\r\n"
    "&&EMAIL 7\r\nMail seven\r\n&&EMAIL 120\r\nOut of range\r\n&&EMAIL -2\r\nNegative\r\n&&EMAIL 99\r\nMail 99\r\n"
    "&&SCENWIN\r\nYou win.\r\n&&SCENLOSE\r\nYou lose.\r\n&&SCENUNIFYWIN\r\nUnited.\r\n&&SCENUNIFYLOSE\r\nDivided.\r\n"
    "&&CAMPWIN\r\nCampaign won.\r\n&&CAMPLOSE\r\n\r\n&&CAMPUNIFYWIN\r\nC3\r\n&&CAMPUNIFYLOSE\r\nC4\r\n"
    "&&MPWIN\r\nM1\r\n&&MPLOSE\r\nM2\r\n&&MPUNIFYWIN\r\nM3\r\n&&MPUNIFYLOSE\r\nM4\r\n"
    "&&DESIGNERNOTES\r\nMade for the tests.";

TEST_F(ScenarioTextFiles, SectionsInTheirOrder) {
  Write("Coast", kSample);
  settings_.groupingCount = 3;
  groupings_->groupings[3].settings[0] = 6;
  ASSERT_EQ(Load("Coast"), plat::kOk);
  const ScenarioText& t = *text_;
  EXPECT_STREQ(t.scenarioName.get(), "Iron Coast, 2010");
  EXPECT_STREQ(t.regionNames[0].get(), "Northmark");
  EXPECT_STREQ(t.regionNames[1].get(), "Southvale");
  EXPECT_STREQ(t.regionNames[2].get(), "Eastreach");
  EXPECT_EQ(t.regionNames[3].get(), nullptr);
  EXPECT_STREQ(t.groupingNames[0].get(), "Two Blocs");
  EXPECT_STREQ(t.groupingEntryNames[0][0].get(), "North Bloc");
  EXPECT_STREQ(t.groupingEntryNames[0][1].get(), "South Bloc");
  EXPECT_EQ(t.groupingEntryNames[0][2].get(), nullptr);
  EXPECT_STREQ(t.groupingNames[1].get(), "Alone");
  EXPECT_EQ(t.groupingEntryNames[1][0].get(), nullptr);
  EXPECT_STREQ(t.groupingEntryNames[1][1].get(), "Second");
  EXPECT_STREQ(t.groupingNames[2].get(), "6 Players");
  EXPECT_EQ(t.groupingNames[3].get(), nullptr);
  EXPECT_STREQ(t.briefText.get(), "Hold the coast.");
  EXPECT_STREQ(t.notesText.get(), "Notes, with a comma");
  EXPECT_STREQ(t.customNotes[5].get(), "Note five");
  EXPECT_STREQ(t.customNotes[0].get(), "Note zero");
  EXPECT_STREQ(t.emailTexts[7].get(), "Mail seven");
  EXPECT_STREQ(t.emailTexts[99].get(), "Mail 99");
  for (int i = 0; i < kScenarioNumberedTexts; ++i) {
    if (i != 7 && i != 99) {
      EXPECT_EQ(t.emailTexts[i].get(), nullptr) << i;
    }
  }
  EXPECT_STREQ(t.endTexts[kEndSingle][kEndWin].get(), "You win.");
  EXPECT_STREQ(t.endTexts[kEndSingle][kEndUnifyLose].get(), "Divided.");
  EXPECT_STREQ(t.endTexts[kEndCampaign][kEndWin].get(), "Campaign won.");
  EXPECT_STREQ(t.endTexts[kEndCampaign][kEndLose].get(), "");
  EXPECT_STREQ(t.endTexts[kEndCampaign][kEndUnifyWin].get(), "C3");
  EXPECT_STREQ(t.endTexts[kEndMultiplayer][kEndUnifyLose].get(), "M4");
  EXPECT_STREQ(t.designerNotes.get(), "Made for the tests.");
  EXPECT_EQ(t.textLoaded, 1);

  FreeScenarioText(*text_);
  EXPECT_EQ(t.scenarioName.get(), nullptr);
  EXPECT_EQ(t.emailTexts[7].get(), nullptr);
  EXPECT_EQ(t.textLoaded, 0);
}

TEST_F(ScenarioTextFiles, ASectionOutOfOrderIsLost) {
  // Each section is searched after the one before it: with the notes first,
  // the search for them starts behind the briefing and finds nothing.
  Write("Swapped", "&&SCENNAME\r\nX\r\n&&NOTES\r\nThe notes\r\n&&BRIEF\r\nThe brief\r\n&&DESIGNERNOTES\r\nD\r\n");
  ASSERT_EQ(Load("Swapped"), plat::kOk);
  EXPECT_STREQ(text_->briefText.get(), "The brief");
  EXPECT_EQ(text_->notesText.get(), nullptr);
  EXPECT_STREQ(text_->designerNotes.get(), "D");
  // Designer notes before the e-mails are lost the same way.
  Write("Late", "&&DESIGNERNOTES\r\nD\r\n&&EMAIL 3\r\nMail\r\n");
  ASSERT_EQ(Load("Late"), plat::kOk);
  EXPECT_STREQ(text_->emailTexts[3].get(), "Mail");
  EXPECT_EQ(text_->designerNotes.get(), nullptr);
}

TEST_F(ScenarioTextFiles, ListsEndAtASectionKeywordWhichIsStillRead) {
  Write("Tight",
        "&&REGIONS\r\nOne\r\nTwo\r\n&&GROUPINGS\r\nBloc A\r\n&&BRIEF\r\nBrief\r\n&&NOTES\r\n Notes\r\n");
  settings_.groupingCount = 2;
  groupings_->groupings[2].settings[0] = 4;
  ASSERT_EQ(Load("Tight"), plat::kOk);
  EXPECT_STREQ(text_->regionNames[1].get(), "Two");
  EXPECT_EQ(text_->regionNames[2].get(), nullptr);
  EXPECT_STREQ(text_->groupingNames[0].get(), "Bloc A");
  EXPECT_STREQ(text_->groupingNames[1].get(), "4 Players");
  EXPECT_STREQ(text_->briefText.get(), "Brief");
  EXPECT_STREQ(text_->notesText.get(), " Notes");
  // A grouping line beginning with a blank ends the list too.
  Write("Blank", "&&GROUPINGS\r\n First\r\nSecond\r\n");
  settings_.groupingCount = 0;
  ASSERT_EQ(Load("Blank"), plat::kOk);
  EXPECT_EQ(text_->groupingNames[0].get(), nullptr);
}

TEST_F(ScenarioTextFiles, AtMost31RegionsAndGroupings) {
  std::string text = "&&REGIONS\r\n";
  for (int i = 0; i < 40; ++i) text += "R" + std::to_string(i) + "\r\n";
  text += "\r\n&&GROUPINGS\r\n";
  for (int i = 0; i < 40; ++i) {
    text += "G" + std::to_string(i);
    for (int e = 0; e < 35; ++e) text += ", E" + std::to_string(e);
    text += "\r\n";
  }
  Write("Big", text);
  settings_.groupingCount = 99;
  ASSERT_EQ(Load("Big"), plat::kOk);
  EXPECT_STREQ(text_->regionNames[30].get(), "R30");
  EXPECT_STREQ(text_->groupingNames[30].get(), "G30");
  EXPECT_STREQ(text_->groupingEntryNames[30][30].get(), "E30");
}

TEST_F(ScenarioTextFiles, AMissingFileNamesTheScenarioAfterItsGameFile) {
  EXPECT_EQ(Load("Missing"), plat::kFail);
  EXPECT_STREQ(text_->scenarioName.get(), "");
  settings_.gamfile = static_cast<char*>(std::malloc(7));
  std::memcpy(settings_.gamfile, "EUROPE", 7);
  Write("Coast", kSample);
  ASSERT_EQ(Load("Coast"), plat::kOk);
  EXPECT_EQ(Load("Missing"), plat::kFail);
  EXPECT_STREQ(text_->scenarioName.get(), "EUROPE");
  EXPECT_EQ(text_->briefText.get(), nullptr);  // the old text is freed first
  EXPECT_EQ(text_->textLoaded, 0);
  EXPECT_EQ(LoadScenarioText(*text_, settings_, *groupings_, "LOCALEN", nullptr), plat::kFail);
}

class TutorialFiles : public ScenarioTextFiles {
 protected:
  void TearDown() override {
    FreeTutorialSteps(head_);
    ScenarioTextFiles::TearDown();
  }
  void WriteTable(const std::string& name, const std::string& text) const {
    dir_.Write("Tutorials/" + name + ".CSV", text);
  }
  TutorialStep* head_ = nullptr;
};

TEST_F(TutorialFiles, StepsTakeTheirCellsInOrder) {
  WriteTable("Basics",
             "Step,A,B,C,Title\r\n"
             "1, 5, , 7, Title, 3, a, b, c, d, e, f, g, h, i, j, yes, 8, 9\r\n"
             "\r\n"
             "2, 1\r\n"
             "999\r\n"
             "3, 4\r\n");
  ASSERT_EQ(LoadTutorialTable(head_, "Basics"), plat::kOk);
  ASSERT_NE(head_, nullptr);
  const TutorialStep& first = *head_;
  EXPECT_EQ(first.values[0], 5);
  EXPECT_EQ(first.values[1], -1);
  EXPECT_EQ(first.values[2], 7);
  EXPECT_STREQ(first.title.get(), "Title");
  EXPECT_EQ(first.number, 3);
  EXPECT_STREQ(first.texts[0].get(), "a");
  EXPECT_STREQ(first.texts[9].get(), "j");
  EXPECT_EQ(first.flag, 1);
  EXPECT_EQ(first.extra[0], 8);
  EXPECT_EQ(first.extra[1], 9);
  // A line without cells is a step of defaults.
  const auto* second = static_cast<const TutorialStep*>(first.next());
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->values[0], -1);
  EXPECT_EQ(second->title.get(), nullptr);
  EXPECT_EQ(second->number, 0);
  const auto* third = static_cast<const TutorialStep*>(second->next());
  EXPECT_EQ(third->values[0], 1);
  EXPECT_EQ(third->values[1], -1);
  EXPECT_EQ(third->next(), head_);  // 999 ended the table
  // A second table is appended to the same list.
  WriteTable("More", "Header\r\n4, 10\r\n");
  ASSERT_EQ(LoadTutorialTable(head_, "More"), plat::kOk);
  const auto* last = static_cast<const TutorialStep*>(head_->prev());
  EXPECT_EQ(last->values[0], 10);
}

TEST_F(TutorialFiles, A999OnTheSecondLineGivesNoSteps) {
  WriteTable("Empty", "Header\r\n999, 1, 2\r\n1, 2\r\n");
  ASSERT_EQ(LoadTutorialTable(head_, "Empty"), plat::kOk);
  EXPECT_EQ(head_, nullptr);
  EXPECT_EQ(LoadTutorialTable(head_, "Missing"), plat::kFail);
  WriteTable("One", "Header\r\n1, 2");
  ASSERT_EQ(LoadTutorialTable(head_, "One"), plat::kOk);
  ASSERT_NE(head_, nullptr);
  EXPECT_EQ(head_->values[0], 2);
  EXPECT_EQ(head_->next(), nullptr);
}

}  // namespace
