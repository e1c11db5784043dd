#pragma once
// The box: a framed rectangle that holds other controls, and as a host shows
// the form of another screen inside it.
#include "ui/control.h"

class BoxControl : public Control {
 public:
  BoxControl() { kind = kKindBox; }
  // Kind 1 whatever the init says.
  explicit BoxControl(const ControlInit& init);

  // The frame; a host with no children yet shows its hosted screen with the
  // box's id and takes a clone of that screen's form as its child.
  int32_t Draw(const plat::Rect* clip) override;
  Control* Clone() const override { return new BoxControl(*this); }

 protected:
  BoxControl(const BoxControl&) = default;
};
