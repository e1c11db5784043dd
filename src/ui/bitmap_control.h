#pragma once
// The bitmap control: an image cut from one of the renderer's nine bitmap
// sets, one source rectangle per look, optionally animated through frames
// laid out in rows, mirrored and tinted.
#include <cstdint>

#include "ui/control.h"

class Texture;

// One look's image: a bitmap set by number (-1 for none) and the texels.
struct BitmapImage {
  int32_t set = -1;
  plat::Rect source;
};

class BitmapControl : public Control {
 public:
  BitmapControl() { kind = kKindBitmap; }
  // Kind 6 whatever the init says; the images normal, selected, focused.
  BitmapControl(const ControlInit& init, const BitmapImage& normal, const BitmapImage& selected,
                const BitmapImage& focused);

  // The image of the look, advanced to the current frame; kFail (drawing
  // nothing) when the look has no texture.
  int32_t Draw(const plat::Rect* clip) override;
  Control* Clone() const override { return new BitmapControl(*this); }
  void SaveRecordPart(FormControlRecord& record, FormStringPool& pool) const override;
  // Counts one drawing pass while the animation runs; past the frame delay
  // the next frame shows.
  void TickAnimation() override;
  bool AnimationDue() const override;

  BitmapImage images[3];  // by ControlLook
  // A picture that is in none of the sets (a class picture): every look
  // draws its source rectangle from the texture in this slot. The slot, not
  // the texture, is held: the map's pictures are freed under the controls
  // when a game stops. Never in a form.
  Texture* const* pictureSlot = nullptr;
  uint8_t frameCount = 0;
  uint8_t frame = 0;       // the current frame
  uint8_t frameDelay = 0;  // in drawing passes
  uint8_t delayCounter = 0;
  uint8_t framesPerRow = 0;
  uint8_t spare[3] = {};  // kept with the record, read by nothing here

 protected:
  BitmapControl(const BitmapControl&) = default;
};

// The texture of a bitmap set; null for a number outside 0 to 8 or an empty
// slot.
Texture* BitmapSetTexture(int32_t set);

// A sheet whose second half of frames runs the first half backwards: a
// frame past half the count is frame count - frame, drawn mirrored. The one
// fold of every turning picture (bitmap controls, class icons).
struct FoldedFrame {
  int32_t frame = 0;
  bool mirrored = false;
};
FoldedFrame FoldMirroredFrame(int32_t frame, int32_t frameCount);

// Where a frame's image lies and whether it is drawn mirrored, for an image
// whose first frame is at first.
struct BitmapFrame {
  plat::Rect source;
  bool mirrored = false;
};
BitmapFrame BitmapFrameSource(const plat::Rect& first, uint32_t flags, uint8_t frame, uint8_t frameCount,
                              uint8_t framesPerRow);
