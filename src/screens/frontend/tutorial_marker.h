#pragma once
// A tutorial page's marker: the red hexagon of the map's marker cell drawn
// round a control in the band between the control and the marker's edges,
// so that no line of it lies over what it points at.
#include <cstdint>
#include <vector>

#include "platform/window.h"
#include "ui/bitmap_control.h"

class TutorialMarker : public BitmapControl {
 public:
  TutorialMarker() = default;

  // The cell cut at its outline's corners into nine pieces: the four that
  // hold the corners shrink into the band's corners, the edges between them
  // stretch along the band; nothing is drawn over the control.
  int32_t Draw(const plat::Rect* clip) override;
  Control* Clone() const override { return new TutorialMarker(*this); }

  // Stands round the control's screen rectangle, the band `margin` wide
  // where the screen has room and as wide as it leaves at its edges; facing
  // another marked control closer than that, it takes half the gap, so that
  // neither marker lies over the other's control.
  void Surround(const plat::Rect& control, const std::vector<plat::Rect>& others, const plat::Rect& screen,
                int32_t margin);

  // The band's width on each side.
  int32_t bandLeft = 0, bandTop = 0, bandRight = 0, bandBottom = 0;

 protected:
  TutorialMarker(const TutorialMarker&) = default;
};
