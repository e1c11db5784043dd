#pragma once
// The edit field: a text control the player types into while it holds the
// capture, limited to its edit size and to the character classes it admits.
#include <cstdint>
#include <string>

#include "ui/string_control.h"

// Character classes of an edit field.
inline constexpr uint32_t kEditNoSpaces = 0x1;
inline constexpr uint32_t kEditUpperCase = 0x8;
inline constexpr uint32_t kEditLettersDigitsDash = 0x10;
inline constexpr uint32_t kEditLetters = 0x20;
inline constexpr uint32_t kEditDigitsDash = 0x40;

// What the owner is told when Escape on an empty field ends the edit.
inline constexpr int32_t kHostNotifyEditCancelled = 2;

class EditControl : public TextControl {
 public:
  EditControl() { kind = kKindEdit; }
  EditControl(const ControlInit& init, const StringInit& strings, uint32_t editSize, uint32_t classes);

  // Enter starts the edit; characters edit the source text (Backspace,
  // Escape clears and on an empty field ends, Enter ends, Tab and Enter
  // send a command).
  int32_t HandleInput(int32_t message, intptr_t p1, intptr_t p2, intptr_t p3) override;
  // A left press puts the field in edit (it takes the capture).
  int32_t HandleMouse(int32_t message, intptr_t p1, intptr_t p2, intptr_t p3) override;
  // With the whole text selected: the text on a band of the selected
  // colour, without a cursor.
  int32_t Draw(const plat::Rect* clip) override;
  Control* Clone() const override { return new EditControl(*this); }
  void SaveRecordPart(FormControlRecord& record, FormStringPool& pool) const override;

  std::string extraEdit;
  uint32_t editSize = 0;  // most characters typed
  uint32_t classes = 0;
  // The text given is selected whole: the first character typed replaces
  // it, Backspace clears it; any other key the field takes drops the
  // selection. A click keeps it: pointing at the field starts its edit.
  bool wholeTextSelected = false;

 protected:
  EditControl(const EditControl&) = default;
  uint32_t EditedLimit() const override { return editSize; }
};

// The character as the classes let it be typed (upper-cased with
// kEditUpperCase), or -1 when they refuse it.
int32_t EditAdmits(uint32_t classes, unsigned char c);
