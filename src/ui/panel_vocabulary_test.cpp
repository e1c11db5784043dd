// The panel words: look-ups that tolerate a missing form or control, and
// setters whose texts are what a player reads.
#include "ui/panel_vocabulary.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/control_test_support.h"
#include "ui/string_control.h"

namespace {

using controltest::PanelForm;
using controltest::RecordingScreen;

TEST(PanelVocabulary, LookUpsFindTheFormsControlsAndToleratesNone) {
  RecordingScreen screen;
  PanelForm form(screen, "PANEL", {"NAME", "COUNT"}, {7});
  EXPECT_EQ(Tag(form.root, "NAME"), form["NAME"]);
  EXPECT_EQ(Tag(form.root, "MISSING"), nullptr);
  EXPECT_EQ(Tag(nullptr, "NAME"), nullptr);
  EXPECT_EQ(Id(form.root, 7), form[7]);
  EXPECT_EQ(Id(nullptr, 7), nullptr);
  EXPECT_NE(TagAs<StringControl>(form.root, "COUNT"), nullptr);
  EXPECT_EQ(TagAs<StringControl>(form.root, "PANEL"), nullptr) << "the root is a plain control";
  EXPECT_TRUE(Is(form["NAME"], "NAME"));
  EXPECT_FALSE(Is(form["NAME"], "COUNT"));
  EXPECT_FALSE(Is(nullptr, "NAME"));
}

TEST(PanelVocabulary, SettersWriteWhatThePlayerReads) {
  RecordingScreen screen;
  PanelForm form(screen, "PANEL", {"A"});
  Control* a = form["A"];
  struct Case {
    void (*set)(Control*);
    const char* text;
  };
  const Case cases[] = {
      {[](Control* c) { SetInt(c, -42); }, "-42"},
      {[](Control* c) { SetNumber(c, 3387689.0); }, "3,387,689"},
      {[](Control* c) { SetFormatted(c, "%d %%", 66); }, "66 %"},
      // Formatting rounds to nearest whatever mode the game computes in.
      {[](Control* c) { SetFormatted(c, "%.0f", 45.6); }, "46"},
      {[](Control* c) { SetText(c, std::string("Westholm")); }, "Westholm"},
      {[](Control* c) { SetText(c, static_cast<const char*>(nullptr)); }, ""},
  };
  for (const Case& c : cases) {
    c.set(a);
    EXPECT_EQ(form.Text("A"), c.text);
  }
  // A null control takes nothing and does not crash.
  SetInt(nullptr, 1);
  SetText(nullptr, "x");
  Show(nullptr, true);
  ShowTag(form.root, "A", false);
  EXPECT_FALSE(form.Shown("A"));
  ShowTag(form.root, "A", true);
  EXPECT_TRUE(form.Shown("A"));
}

TEST(PanelVocabulary, TheScreenWordsLookInItsCurrentForm) {
  RecordingScreen screen;
  PanelForm form(screen, "PANEL", {"NAME"}, {7});
  EXPECT_EQ(Tag(screen, "NAME"), form["NAME"]);
  EXPECT_EQ(Id(screen, 7), form[7]);
  screen.currentForm = nullptr;
  EXPECT_EQ(Tag(screen, "NAME"), nullptr);
  EXPECT_EQ(Id(screen, 7), nullptr);
  screen.currentForm = form.root;
}

TEST(PanelVocabulary, PressingSetsOnlyTheSelectedBit) {
  RecordingScreen screen;
  PanelForm form(screen, "PANEL", {"TOGGLE"});
  Control* toggle = form["TOGGLE"];
  const uint32_t others = toggle->state;
  Press(toggle, true);
  EXPECT_TRUE(toggle->Selected());
  Press(toggle, false);
  EXPECT_FALSE(toggle->Selected());
  EXPECT_EQ(toggle->state, others);
}

// A text is a text box's own copy, or the caption of any other control.
TEST(PanelVocabulary, APlainControlTakesTheTextAsItsCaption) {
  RecordingScreen screen;
  PanelForm form(screen, "PANEL", {"BOX"}, {}, {"BOX"});
  SetInt(form["BOX"], 12);
  EXPECT_EQ(form.Text("BOX"), "12");
}

// Each row: the room the form gave the box, what is written, what the box
// shows, and whether its owner hears of a change.
TEST(PanelVocabulary, EnteredTextsAndRoomyNumbersKeepToTheBoxsRoom) {
  struct Row {
    uint32_t room;
    void (*write)(Control*);
    const char* shown;
    bool heard;
  };
  const Row rows[] = {
      {63, [](Control* c) { EnterText(c, "Westholm"); }, "Westholm", true},
      {4, [](Control* c) { EnterText(c, "Westholm"); }, "West", true},
      {63, [](Control* c) { EnterInt(c, -42); }, "-42", true},
      {63, [](Control* c) { EnterFormatted(c, "%3.0f %%", 45.6); }, " 46 %", true},
      {63, [](Control* c) { EnterFormatted(c, "%d km", 300); }, "300 km", true},
      {63, [](Control* c) { SetNumberWhereRoom(c, 3387689.0); }, "3,387,689", false},
      {3, [](Control* c) { SetNumberWhereRoom(c, 3387689.0); }, "3,387,689", false},
      {2, [](Control* c) { SetNumberWhereRoom(c, 7.0); }, "", false},
      {63, [](Control* c) { SetFigure(c, 3387689.0); }, "3,387,689", true},
      {5, [](Control* c) { SetFigure(c, 3387689.0); }, "3,387", true},
      {2, [](Control* c) { SetFigure(c, 7.0); }, "", false},
      {63, [](Control* c) { SetPercent(c, "%3.0f %%", 0.456f); }, " 46 %", false},
  };
  for (const Row& row : rows) {
    RecordingScreen screen;
    PanelForm form(screen, "PANEL", {"A"}, {}, {}, row.room);
    screen.Take();
    row.write(form["A"]);
    EXPECT_EQ(form.Text("A"), row.shown) << "room " << row.room;
    const std::vector<std::string> events = screen.Take();
    EXPECT_EQ(std::count(events.begin(), events.end(), "change A") == 1, row.heard) << "room " << row.room;
  }
  EnterText(nullptr, "x");
  Press(nullptr, true);
  SetFigure(nullptr, 1.0);
  EnterInt(nullptr, 1);
  SetNumberWhereRoom(nullptr, 1.0);
}

}  // namespace

namespace {

// A row of a money page: a label at the left and one or two figures.
TEST(PanelVocabulary, AChargedMoneyLineGivesWayWithItsLabelWhenNothingIsCharged) {
  RecordingScreen screen;
  auto* root = new Control(controltest::Init("PAGE", &screen, 0, 0, 220, 40));
  auto add = [&](const char* tag, int32_t left, int32_t right, int32_t top) {
    auto* c = new StringControl(controltest::Init(tag, &screen, left, top, right - left, 12), StringInit{.bufferSize = 63});
    ControlAddChild(root, c);
    return c;
  };
  Control* label = add(nullptr, 4, 80, 2);
  Control* now = add("NOW", 80, 146, 2);
  Control* next = add("NEXT", 148, 216, 2);
  Control* below = add(nullptr, 4, 80, 16);
  struct Row {
    const char* name;
    bool nowCharged, nextCharged;
    bool labelHidden;
  };
  for (const Row& r : {Row{"both charged", true, true, false}, Row{"one still shown", false, true, false},
                       Row{"neither", false, false, true}, Row{"shown again", true, true, false}}) {
    SCOPED_TRACE(r.name);
    SetChargedMoney(now, 1000.0, r.nowCharged);
    SetChargedMoney(next, 2000.0, r.nextCharged);
    EXPECT_EQ(now->Hidden(), !r.nowCharged);
    EXPECT_EQ(next->Hidden(), !r.nextCharged);
    EXPECT_EQ(label->Hidden(), r.labelHidden);
    EXPECT_FALSE(below->Hidden()) << "another row's label stays";
    if (r.nextCharged) {
      EXPECT_EQ(next->text, "$ 2,000");
    }
  }
  EXPECT_TRUE(IsCharged(5.0f));
  EXPECT_FALSE(IsCharged(0.0f));
  EXPECT_FALSE(IsCharged(std::numeric_limits<float>::quiet_NaN()));
  delete root;
}

}  // namespace
