#pragma once
// Form files (".HAP"): the control tree of one panel as an image of 256-byte
// records, every pointer replaced by a record index or a string-pool offset.
// The loader checks the whole image before it makes a control: a damaged
// file is refused with the reason and leaves the screen without a form.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/status.h"

class Control;
class Screen;

inline constexpr size_t kFormRecordBytes = 256;
inline constexpr size_t kFormHeaderDwords = 21;
// Links nest at most this deep; deeper trees are refused, as every walk
// over a form recurses once per level.
inline constexpr int kMaxFormDepth = 64;

// The form record: the header's first 21 dwords. The loader copies them out,
// the writer fills in the save count, the counts and the stamp.
struct FormHeader {
  uint32_t dwords[kFormHeaderDwords] = {};
};
enum FormHeaderDword : size_t {
  kFormSaveCount = 2,
  kFormCount = 3,      // control records
  kFormPoolSize = 4,   // bytes, the unused byte at offset 0 included
  kFormStampDay = 16,  // the calendar's day number
  kFormStampDate = 17,  // year (u16), month (u8), day (u8)
  kFormStampTime = 18,  // hour (u8), minute (u8), second x 1000 + millisecond (u16)
};

// One control record of the file; pointers are record indices (0 for none)
// and texts are pool offsets (0 for none). Read and written field by field.
struct FormStringPart {  // kinds 2, 3 and 17
  uint32_t text;
  uint32_t selectedText;
  uint32_t bufferSize;
  uint32_t fontSlot;  // 0-15
  uint32_t font;      // 0 in files: the slot names the font
  uint8_t bytes[4];
  uint32_t word1;
  uint32_t alignment;
  uint32_t textColour;
  uint32_t selectedTextColour;
  uint32_t word2;
  // Kinds 2 and 17 from here.
  uint32_t sourceText;
  uint32_t selectedSourceText;
  uint32_t words[6];
  uint32_t word3;
  uint32_t extra;
  // Kind 17 from here.
  uint32_t extraEdit;
  uint32_t editSize;
  uint32_t classes;
  uint8_t unused[52];
};
struct FormRect {
  int32_t left, top, right, bottom;
};
struct FormBitmapPart {  // kind 6
  uint32_t texture;  // 0 in files: offset 72 names the set
  FormRect normal;
  uint32_t selectedSet;  // a set 0-8, or 0xFFFFFFFF for no selected image
  FormRect selected;
  uint32_t focusedSet;  // the same for the focused image
  FormRect focused;
  uint8_t frameCount, frame, frameDelay, delayCounter, framesPerRow, spare[3];
  uint8_t unused[80];
};
struct FormSlideBarPart {  // kind 21
  uint16_t position, defaultPosition, lowMark, notches, highMark, rememberedPosition, thumbLength, exponent;
  uint32_t maximum;
  uint8_t unused[128];
};
struct FormControlRecord {
  uint32_t zero;
  uint32_t next;
  uint32_t prev;
  uint32_t listWord;
  int16_t kind;
  uint16_t index;
  char tag[12];
  uint32_t flags;
  uint32_t state;
  uint8_t frameStyle;
  uint8_t outlineWidths[3];
  uint32_t fills[3];
  uint32_t outlines[3];
  int32_t id;
  uint32_t hostedWord;  // kind 6: the normal image's set (0-8); else 0
  uint32_t text;
  uint32_t owner;  // 0 in files
  uint32_t firstChild;
  uint32_t parent;
  FormRect rect;
  union {
    FormStringPart strings;
    FormBitmapPart bitmap;
    FormSlideBarPart slideBar;
    uint8_t raw[148];
  };
};
static_assert(sizeof(FormControlRecord) == kFormRecordBytes);
static_assert(offsetof(FormControlRecord, next) == 4 && offsetof(FormControlRecord, prev) == 8);
static_assert(offsetof(FormControlRecord, listWord) == 12 && offsetof(FormControlRecord, kind) == 16);
static_assert(offsetof(FormControlRecord, index) == 18 && offsetof(FormControlRecord, tag) == 20);
static_assert(offsetof(FormControlRecord, flags) == 32 && offsetof(FormControlRecord, state) == 36);
static_assert(offsetof(FormControlRecord, frameStyle) == 40 && offsetof(FormControlRecord, outlineWidths) == 41);
static_assert(offsetof(FormControlRecord, fills) == 44 && offsetof(FormControlRecord, outlines) == 56);
static_assert(offsetof(FormControlRecord, id) == 68 && offsetof(FormControlRecord, hostedWord) == 72);
static_assert(offsetof(FormControlRecord, text) == 76 && offsetof(FormControlRecord, owner) == 80);
static_assert(offsetof(FormControlRecord, firstChild) == 84 && offsetof(FormControlRecord, parent) == 88);
static_assert(offsetof(FormControlRecord, rect) == 92 && offsetof(FormControlRecord, raw) == 108);
static_assert(offsetof(FormControlRecord, strings.text) == 108);
static_assert(offsetof(FormControlRecord, strings.selectedText) == 112);
static_assert(offsetof(FormControlRecord, strings.bufferSize) == 116);
static_assert(offsetof(FormControlRecord, strings.fontSlot) == 120);
static_assert(offsetof(FormControlRecord, strings.font) == 124);
static_assert(offsetof(FormControlRecord, strings.bytes) == 128);
static_assert(offsetof(FormControlRecord, strings.word1) == 132);
static_assert(offsetof(FormControlRecord, strings.alignment) == 136);
static_assert(offsetof(FormControlRecord, strings.textColour) == 140);
static_assert(offsetof(FormControlRecord, strings.selectedTextColour) == 144);
static_assert(offsetof(FormControlRecord, strings.word2) == 148);
static_assert(offsetof(FormControlRecord, strings.sourceText) == 152);
static_assert(offsetof(FormControlRecord, strings.selectedSourceText) == 156);
static_assert(offsetof(FormControlRecord, strings.words) == 160);
static_assert(offsetof(FormControlRecord, strings.word3) == 184);
static_assert(offsetof(FormControlRecord, strings.extra) == 188);
static_assert(offsetof(FormControlRecord, strings.extraEdit) == 192);
static_assert(offsetof(FormControlRecord, strings.editSize) == 196);
static_assert(offsetof(FormControlRecord, strings.classes) == 200);
static_assert(offsetof(FormControlRecord, bitmap.texture) == 108);
static_assert(offsetof(FormControlRecord, bitmap.normal) == 112);
static_assert(offsetof(FormControlRecord, bitmap.selectedSet) == 128);
static_assert(offsetof(FormControlRecord, bitmap.selected) == 132);
static_assert(offsetof(FormControlRecord, bitmap.focusedSet) == 148);
static_assert(offsetof(FormControlRecord, bitmap.focused) == 152);
static_assert(offsetof(FormControlRecord, bitmap.frameCount) == 168);
static_assert(offsetof(FormControlRecord, bitmap.spare) == 173);
static_assert(offsetof(FormControlRecord, slideBar.position) == 108);
static_assert(offsetof(FormControlRecord, slideBar.exponent) == 122);
static_assert(offsetof(FormControlRecord, slideBar.maximum) == 124);

// The selected or focused image word of a bitmap record that names none.
inline constexpr uint32_t kFormNoImage = 0xFFFFFFFFu;

// A screen's bindings: each control whose tag matches a name on 12
// characters is stored into the first matching entry's target (nothing for
// a null target). The table ends with an entry whose name is null or empty.
struct FormBinding {
  const char* name = nullptr;
  Control** target = nullptr;
  int32_t word = 0;
};

// Reads HAPS directory + name + ".HAP" and builds its tree; null when the
// file cannot be read or is refused (the reason goes to the error output,
// naming the file). Every control gets owner as its owner screen.
Control* LoadFormFile(const char* name, Screen* owner, FormHeader* headerOut, const FormBinding* bindings);
// Builds the tree of a form image and returns its root (record 1); null and
// the reason in why when the image is refused.
Control* ParseFormRecords(FormHeader* headerOut, std::span<const uint8_t> image, const FormBinding* bindings,
                          Screen* owner, std::string* why = nullptr);

// The image of the tree under root: records numbered depth first, then the
// pool. The header gets the save count one higher, the counts and the stamp
// of the local time; its other dwords are written as they stand.
std::vector<uint8_t> BuildFormImage(FormHeader& header, Control* root);
// Writes the image to HAPS directory + name + ".HAP" (a temporary file
// renamed over it); kFail when it could not be written.
plat::Status SaveFormFile(FormHeader& header, Control* root, const char* name);

// A stamp's three words (day number; year, month, day; hour, minute,
// second x 1000 + millisecond) for a time, as saves and new forms write it.
void StampFormWords(uint32_t* words, const plat::LocalTime& now);

// HAPS directory + name + ".HAP".
std::string FormFilePath(const char* name);
