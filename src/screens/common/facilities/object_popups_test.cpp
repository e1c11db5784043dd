#include "screens/common/facilities/object_popups.h"

#include <gtest/gtest.h>

#include <vector>

#include "ui/control_test_support.h"
#include "ui/screen.h"

namespace {

// A pop-up that counts how often it was opened on a new object.
class CountingPopup : public Screen {
 public:
  CountingPopup() : Screen("TESTPOPUP") {}
  void OnOpen() override { ++opened; }
  int opened = 0;
};

TEST(PopupStepping, StepsRoundTheListAndShowsTheButtonsOnlyWithOne) {
  struct Row {
    std::vector<intptr_t> entries;
    intptr_t start;
    int32_t direction;
    intptr_t expected;  // the object shown after the step
  };
  const Row rows[] = {
      {{11, 12, 13}, 12, 1, 13},
      {{11, 12, 13}, 13, 1, 11},   // wraps forward
      {{11, 12, 13}, 11, -1, 13},  // wraps backward
      {{11, 12, 13}, 12, -1, 11},
      {{11, 12, 13}, 99, 1, 12},   // an object no longer listed counts as the first
  };
  for (const Row& row : rows) {
    CountingPopup popup;
    controltest::PanelForm form(popup, "TESTPOPUP", {"NEXTBUT", "PREVBUT"});
    ScreenParameterList list{.entries = row.entries};
    popup.parameterList = &list;
    popup.id = row.start;
    SelectListItem(popup, row.direction);
    EXPECT_EQ(popup.id, row.expected) << row.start << " by " << row.direction;
    EXPECT_EQ(list.current, row.expected);
    EXPECT_EQ(popup.opened, 1);
    EXPECT_EQ(UpdateNextPrevButtons(&list, form.root), 0);
    EXPECT_TRUE(form.Shown("NEXTBUT") && form.Shown("PREVBUT"));
    list.entries.clear();
    EXPECT_EQ(UpdateNextPrevButtons(&list, form.root), 1);
    EXPECT_FALSE(form.Shown("NEXTBUT") || form.Shown("PREVBUT"));
    popup.parameterList = nullptr;
  }
  CountingPopup alone;
  controltest::PanelForm form(alone, "TESTPOPUP", {"NEXTBUT", "PREVBUT"});
  EXPECT_EQ(UpdateNextPrevButtons(nullptr, form.root), 1);
  EXPECT_TRUE(form["NEXTBUT"]->Hidden());
}

}  // namespace
