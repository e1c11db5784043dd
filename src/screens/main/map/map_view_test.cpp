// The dock's deselection of its radio buttons.
#include "screens/main/map/map_view.h"

#include <gtest/gtest.h>

#include "ui/control.h"
#include "ui/control_bits.h"

namespace {

TEST(MapViewTest, OnlySelectedRadioButtonsAreDeselected) {
  struct Row {
    uint32_t flags, state, wantState;
  };
  const Row rows[] = {
      {kCtlRadio | kCtlButton, kStateSelected, 0},
      {kCtlRadio | kCtlButton, kStateSelected | kStateHidden, kStateHidden},
      {kCtlRadio | kCtlButton, kStateHidden, kStateHidden},
      {kCtlRadio, kStateSelected, kStateSelected},
      {kCtlButton, kStateSelected, kStateSelected},
  };
  for (const Row& r : rows) {
    Control control;
    control.flags = r.flags;
    control.state = r.state;
    UnselectToggleControl(&control);
    EXPECT_EQ(control.state & ~kStateDirty, r.wantState) << std::hex << r.flags << " " << r.state;
  }
  UnselectToggleControl(nullptr);
}

}  // namespace
