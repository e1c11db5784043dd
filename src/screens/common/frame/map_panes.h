#pragma once
// The three panes of the map view, screens whose controls hand them every
// mouse message: the map, the minimap and the minimap's drag box. The view
// holds them; the main screen's map input answers their messages.
#include <cstdint>

#include "ui/screen.h"

// The map control's screen.
class MapPane : public Screen {
 public:
  MapPane() : Screen(nullptr) {}
  int32_t OnControlMessage(uint32_t state1, uint32_t state2, int32_t id, int32_t message, intptr_t keyState,
                           intptr_t x, intptr_t y, Control* control, int32_t zero) override;
  void OnMouseEnter(Control* control, int32_t id) override;
  void OnMouseLeave(Control* control, int32_t id) override;
  void OnSetFocus(Control* control, int32_t id) override;
  void OnKillFocus(Control* control, int32_t id) override;
};

// The minimap's: a click centres the map there, the wheel zooms the map.
class MinimapPane : public Screen {
 public:
  MinimapPane() : Screen(nullptr) {}
  int32_t OnControlMessage(uint32_t state1, uint32_t state2, int32_t id, int32_t message, intptr_t keyState,
                           intptr_t x, intptr_t y, Control* control, int32_t zero) override;
};

// The minimap's view box: dragging it pans the map.
class DragPanPane : public Screen {
 public:
  DragPanPane() : Screen(nullptr) {}
  int32_t OnControlMessage(uint32_t state1, uint32_t state2, int32_t id, int32_t message, intptr_t keyState,
                           intptr_t x, intptr_t y, Control* control, int32_t zero) override;
  void OnMouseLeave(Control* control, int32_t id) override;
};
