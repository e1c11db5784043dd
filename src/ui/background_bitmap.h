#pragma once
// A control that shows one of the interface root's background textures
// (by slot), its 1024 x 768 source stretched over the control.
#include <cstdint>

#include "ui/control.h"

class Texture;

// The size of the background pictures, which is the screen the forms shown
// on them are laid out for.
inline constexpr int32_t kBackgroundWidth = 1024;
inline constexpr int32_t kBackgroundHeight = 768;

class BackgroundBitmap : public Control {
 public:
  // The texture slot is read at every draw: the slot may be filled later.
  BackgroundBitmap(const ControlInit& init, Texture* const* slot);
  int32_t Draw(const plat::Rect* clip) override;

 private:
  Texture* const* slot_;
};
