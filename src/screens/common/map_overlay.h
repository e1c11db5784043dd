#pragma once
// What the chat and status overlays share: each floats over the map pane,
// clicks pass through it, and it hangs there only while its list holds a
// row, so an empty overlay costs the map nothing.
#include <cstdint>

#include "ui/screen.h"

class ListBoxControl;

class MapOverlay : public Screen {
 public:
  using Screen::Screen;
  // Refreshes the list, then hangs the form over the map pane when the list
  // holds a row, else leaves it hanging nowhere.
  int32_t Show(intptr_t id, Control* host) override;
  // The timer's poll: re-shown while a game runs.
  void Poll(intptr_t argument) override;

  ListBoxControl* list = nullptr;
};

// Gives a list the floating look: no box of its own, rows without a fill,
// the text colour, font slot and alignment given.
void StyleOverlayList(ListBoxControl* list, uint32_t textColour, int32_t fontSlot, uint32_t alignment);
// The height of one text line of the font slot; 0 when the slot holds no
// font (the overlays then keep their form's height).
int32_t OverlayLineHeight(int32_t fontSlot);
// The height of an overlay of that many lines: never negative, 0 for no
// lines.
int32_t OverlayHeight(int32_t lines, int32_t lineHeight, int32_t formHeight);
