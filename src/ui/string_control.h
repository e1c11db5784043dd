#pragma once
// The string kinds: a line or block of text in one of the sixteen font
// slots, aligned in its rectangle (kind 3); the text control (kind 2) that
// shows a source text and a cursor while it is edited; the edit field
// (kind 17, ui/edit_control.h). Every string kind owns its texts.
#include <cstdint>
#include <string>

#include "ui/control.h"
#include "ui/text_fit.h"

struct BitmapFont;

// Alignment bits of the string kinds.
inline constexpr uint32_t kAlignRight = 0x2;         // with kAlignCentreHalf: centred
inline constexpr uint32_t kAlignCentreHalf = 0x4;
inline constexpr uint32_t kAlignBottom = 0x8;
inline constexpr uint32_t kAlignBottomAlt = 0x10;

// The text-drawing format of a string kind: its kind, its style flags
// (kCtlMultiLine) and its alignment bits.
uint32_t StringTextFormat(int16_t kind, uint32_t flags, uint32_t alignment);

// What code gives a string control beyond the control's own fields.
struct StringInit {
  uint32_t bufferSize = 255;  // most characters kept
  uint32_t fontSlot = 0;
  uint32_t alignment = 0;
  uint32_t textColour = 0xFFFFFFFFu;
  uint32_t selectedTextColour = 0xFFFFFFFFu;
};

class StringControl : public Control {
 public:
  StringControl() { kind = kKindString; }
  // Kind 3 unless the init names another string kind.
  StringControl(const ControlInit& init, const StringInit& strings);

  // The frame, then the text (the selected text when selected and there is
  // one) in the font, colour and format of the control.
  int32_t Draw(const plat::Rect* clip) override;
  Control* Clone() const override { return new StringControl(*this); }
  void SaveRecordPart(FormControlRecord& record, FormStringPool& pool) const override;
  // Stores the text (at most the buffer size) when it differs, and tells
  // the owner.
  void SetText(const char* text) override;

  // The five slots of the string kinds.
  virtual const char* SetTextGet(const char* text);
  virtual const char* SetTextFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));
  virtual int32_t GetInt();
  virtual float GetFloat();
  virtual const char* GetText();

  // The font of the slot, slot 0's when that slot is empty.
  BitmapFont* Font() const;
  // The text as drawn, in the font it is drawn in: a one-line text is
  // fitted to its box and to the part of it inside its form's host. The
  // box it is drawn in goes to where, when given.
  FittedText ShownText(plat::Rect* where = nullptr) const;

  // The text shown is Control::text. The text word every control's form
  // record carries besides is kept here, so a form saves as it loaded.
  std::string selectedText;
  std::string recordText;
  uint32_t bufferSize = 255;
  uint32_t fontSlot = 0;
  uint8_t bytes[4] = {};  // kept with the record, read by nothing here
  uint32_t word1 = 0;
  uint32_t alignment = 0;
  uint32_t textColour = 0xFFFFFFFFu;
  uint32_t selectedTextColour = 0xFFFFFFFFu;
  uint32_t word2 = 0;
  // Pixels kept clear at the left end for a picture drawn there; the text
  // is laid out in the rest.
  int32_t textInset = 0;

 protected:
  StringControl(const StringControl&) = default;
  // The text SetText compares and stores, and how many characters it keeps.
  virtual std::string& EditedText() { return text; }
  virtual uint32_t EditedLimit() const { return bufferSize; }
};

// A text control: the text shown is refreshed from the source text, with a
// cursor while it is being edited.
class TextControl : public StringControl {
 public:
  TextControl() { kind = kKindText; }
  TextControl(const ControlInit& init, const StringInit& strings);

  int32_t Draw(const plat::Rect* clip) override;
  Control* Clone() const override { return new TextControl(*this); }
  void SaveRecordPart(FormControlRecord& record, FormStringPool& pool) const override;
  const char* GetText() override { return sourceText.c_str(); }
  // The text shown becomes the source text again (what is typed, without
  // the cursor).
  void ShowSourceText();
  void EditEnded() override;

  std::string sourceText;
  std::string selectedSourceText;
  uint32_t words[6] = {};  // kept with the record, read by nothing here
  uint32_t word3 = 0;      // the same
  std::string extra;

 protected:
  TextControl(const TextControl&) = default;
  std::string& EditedText() override { return sourceText; }
};

// Replaces a string control's text with a copy of the text (screens pass
// shared buffers that change under it); the buffer size becomes its length.
void SetControlText(Control* control, const char* text);
// Formats a number as FormatNumberText does and sets it as the control's
// text, when the control is a string kind with room for 3 characters.
void SetControlNumberText(int32_t currency, int32_t decimals, const char* leading, int32_t abbreviate,
                          const char* trailing, int32_t pad, double value, Control* control);
// Whether the control is one of the string kinds (2, 3, 17).
bool IsStringKind(const Control* control);
