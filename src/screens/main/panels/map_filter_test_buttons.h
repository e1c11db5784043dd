#pragma once
// For the tests of the two map filters (the side bar and the map screen's
// panel): the "NONE" button and a button per id, the value buttons
// checkable and under `values`, the switches under `switches`.
#include <cstdint>
#include <span>

#include "screens/main/panels/map_filter_panel.h"
#include "ui/control.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"

// The "NONE" button.
inline Control* AddMapFilterTestButtons(Screen* owner, Control* values, Control* switches,
                                        std::span<const int32_t> ids) {
  Control* none = ControlAddChild(values, new Control(controltest::Init("NONE", owner, 0, 0, 40, 20, 0x11)));
  for (int32_t id : ids) {
    ControlInit init = controltest::Init("C", owner, 0, 0, 40, 20, id <= kFilterLastValueId ? 0x11 : 0x1);
    init.id = id;
    ControlAddChild(id <= kFilterLastValueId ? values : switches, new Control(init));
  }
  return none;
}
