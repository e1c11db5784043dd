// The panel words: look-ups that tolerate a missing form or control, and
// setters whose texts are what a player reads.
#include "ui/panel_vocabulary.h"

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

}  // namespace
