#pragma once
// The text box: a list box showing a text word-wrapped into rows, which the
// player can edit (a '|' in the text marks the cursor while editing).
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/list_control.h"

// One wrapped line: where it starts in the text and how many characters it
// shows.
struct WrappedLine {
  uint32_t offset = 0;
  uint32_t length = 0;
};

// Wraps a text into lines no wider than width: a line ends at a line feed
// or the code 182, or where the next character's advance would pass the
// width, after the last character below 33 of the line (at the character
// itself when the line has none).
std::vector<WrappedLine> WrapTextLines(std::string_view text, int32_t width,
                                       const std::function<float(unsigned char)>& advance);

class TextBoxControl : public ListBoxControl {
 public:
  TextBoxControl(int32_t left, int32_t top, int32_t width, int32_t height, uint32_t flags, int32_t id,
                 Screen* owner);

  // Puts the cursor in while editing and takes it out after, then draws
  // as a list.
  int32_t Draw(const plat::Rect* clip) override;
  int32_t HandleMouse(int32_t message, intptr_t p1, intptr_t p2, intptr_t p3) override;
  int32_t HandleInput(int32_t message, intptr_t p1, intptr_t p2, intptr_t p3) override;
  void EditEnded() override;

  // The rows again from the text, keeping the selection and the scroll.
  void Refill();
  // Takes the cursor character out of the text when it is in.
  void HideCursor();
  void ShowCursor();

  std::string buffer;  // the text, the cursor character included while shown
  uint32_t capacity = 0;
  uint32_t cursor = 0;
  bool cursorShown = false;
};

// A copy of the text in a buffer of at least capacity characters (a null
// text gives an empty one); with resetScroll the scroller goes back to the
// top.
void TextBoxSetText(TextBoxControl* box, const char* text, uint32_t capacity, int32_t resetScroll);
void TextBoxSetCursor(TextBoxControl* box, uint32_t index);
// The text without the cursor character.
std::string TextBoxText(const TextBoxControl* box);
