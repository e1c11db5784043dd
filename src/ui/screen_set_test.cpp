// The list of all screens: its order from the screen set's members and
// from screens made later, and the start-up walk that loads and binds.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/screen.h"
#include "ui/screen_set.h"

namespace {

std::vector<Screen*> Walk(Screen* from, size_t max) {
  std::vector<Screen*> out;
  for (Screen* s = from; s && out.size() < max; s = s->nextScreen) out.push_back(s);
  return out;
}

TEST(ScreenSetTest, ListRunsFromTheNewestScreenBackToTheTitleBar) {
  ScreenSet& s = g_screens;
  // The members in building order; the walk meets them backwards.
  const std::vector<Screen*> members = {&s.titleBar,   &s.editorBar,    &s.cmdBar,   &s.cmdBar2,  &s.cmdBar3,
                                        &s.mapEditCmdBar, &s.mapEditorB, &s.mapEditorSs2, &s.product1, &s.map2,
                                        &s.tooltip,    &s.startMenu,    &s.popupFrames};
  const std::vector<Screen*> setOnly(members.rbegin(), members.rend());
  // Each row makes screens outside the set (the map panes, the layout
  // editor's screen, list boxes), in that order; the walk meets them
  // newest first, then the set.
  struct Row {
    const char* name;
    int madeLater;
  } rows[] = {{"the set alone", 0}, {"three panes, the editor's screen and a list box", 5}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<std::unique_ptr<Screen>> later;
    for (int i = 0; i < row.madeLater; ++i) later.push_back(std::make_unique<Screen>(nullptr));
    std::vector<Screen*> expected;
    for (auto it = later.rbegin(); it != later.rend(); ++it) expected.push_back(it->get());
    expected.insert(expected.end(), setOnly.begin(), setOnly.end());
    EXPECT_EQ(Walk(Screen::AllScreens(), expected.size() + 1), expected);
  }
}

class BindingScreen : public Screen {
 public:
  explicit BindingScreen(const char* name, bool makesListBox = false) : Screen(name), makesListBox_(makesListBox) {}
  void BindControls() override {
    ++bound;
    // A list box's screen, made as a control of the form is made.
    if (makesListBox_) listBox = std::make_unique<BindingScreen>(nullptr);
  }
  int bound = 0;
  std::unique_ptr<BindingScreen> listBox;

 private:
  bool makesListBox_;
};

TEST(ScreenSetTest, StartUpWalkBindsScreensWithAFormOrWithoutOne) {
  // Screens made oldest first; the walk starts at the newest. The data root
  // of the tests holds no forms: a named form is missing.
  BindingScreen missing("NO_SUCH_FORM"), formless(nullptr), making(nullptr, true);
  LoadScreenListForms(&making);
  struct Row {
    const char* name;
    const BindingScreen* screen;
    int bound;
  } rows[] = {
      {"a missing form leaves its screen unbound", &missing, 0},
      {"a screen without a form is bound", &formless, 1},
      {"a screen that makes a list box is bound", &making, 1},
      {"the list box made during the walk is not visited", making.listBox.get(), 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_NE(row.screen, nullptr);
    EXPECT_EQ(row.screen->bound, row.bound);
    EXPECT_EQ(row.screen->form, nullptr);
  }
}

}  // namespace
