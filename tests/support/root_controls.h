#pragma once
// The interface's root controls for a test that draws or lays out screens
// without starting the program: built for the current client rectangle when
// no earlier start left them, and freed after the test if it built them, so
// that the next test (or a program start) builds them for its own size.
#include "screens/screen_set.h"
#include "ui/screen_manager.h"

class RootControlsForTest {
 public:
  RootControlsForTest() {
    if (g_ui.rootPanel) return;
    BuildRootControls(g_ui);
    built_ = true;
  }
  ~RootControlsForTest() {
    if (!built_) return;
    DetachScreenForms(Screen::AllScreens());
    ReleaseRootControls(g_ui);
  }
  RootControlsForTest(const RootControlsForTest&) = delete;
  RootControlsForTest& operator=(const RootControlsForTest&) = delete;

 private:
  bool built_ = false;
};
