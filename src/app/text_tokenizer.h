#pragma once
// Reader of the game's text format: fields separated by commas or
// semicolons, lines ended by CR, LF or CR LF, strings optionally in double
// quotes, keywords found by plain text search. Option, settings and data
// files and the command line are all read through it.
//
// Field readers read at the cursor and move it past the field and its
// separator. A field never crosses a line end: at the end of a line every
// further read gives its default until SkipLine. Readers never fail on
// malformed text; absent and empty fields give the caller's default.
//
// Strings handed out (ReadKeywordString, ReadFieldString) come from malloc;
// release them with FreeAndClear.
#include <cstdint>
#include <string>

#include "app/file_helpers.h"
#include "platform/status.h"

struct TextTokenizer {
  TextTokenizer() = default;
  ~TextTokenizer() { FreeAndClear(text); }
  TextTokenizer(const TextTokenizer&) = delete;
  TextTokenizer& operator=(const TextTokenizer&) = delete;

  char* text = nullptr;     // the tokenizer's own zero-terminated copy; freed with it
  int32_t length = 0;       // bytes of text (with the terminator when made from a string)
  int32_t notFound = 0;     // 1 after a keyword search that found nothing, 0 after one that did
  int32_t endOfText = 0;    // set by the skips when the cursor stands on the terminator
  char* cursor = nullptr;   // where the field readers read
  std::string source;       // the file read, for warnings ("" for a string)
  // Where the last warning pointed: a place is named once.
  mutable const char* warnedAt = nullptr;
};

// Reads directory + name + extension (a game path) whole and sets the
// tokenizer over it. kFail, with the text null, when the file is missing,
// empty or too large. Any text the tokenizer held before is freed.
plat::Status LoadTextFile(const char* directory, TextTokenizer& tokenizer, const char* name, const char* extension);
// Sets the tokenizer over a copy of the string (null counts as empty).
void InitTokenizer(TextTokenizer& tokenizer, const char* text);

// The value of a keyword: a pointer just past the keyword and the blanks,
// commas, semicolons, equals signs and tabs after it. An occurrence counts
// only when the character after it is one of those, CR, LF or the end of the
// text ("-host" is not found in "-hostile"); null when none counts. Searches
// from the cursor when fromCursor is set and the cursor is not null, else
// from the start. Sets notFound; never moves the cursor.
char* FindKeyword(TextTokenizer& tokenizer, const char* keyword, bool fromCursor);
// The keyword's string value as a new string: after an optional opening
// double quote, up to the next double quote, CR or LF, so an unquoted value
// runs to the end of its line. When the keyword is missing, a copy of the
// default, or null when there is none.
char* ReadKeywordString(TextTokenizer& tokenizer, const char* keyword, const char* defaultText);

// 0 or 1: 1 when the leading integer is not 0, else 1 when the cell starts
// with T, t, Y or y, else 0 (so yes and true give 1, no, off and 0 give 0).
// A cell other than a whole number from 0 up or yes, no, true, false, y, n,
// t or f (-1, nan, on, Yes2) is read so with a warning naming it; a leading
// integer beyond the 32-bit range gives the default, with the warning.
int32_t ReadFieldBool(TextTokenizer& tokenizer, int32_t defaultValue);
// The leading decimal integer, keeping its low 8 bits.
uint8_t ReadFieldInt(TextTokenizer& tokenizer, uint8_t defaultValue);
// The leading decimal integer (optional sign; no digits gives 0; values
// beyond the 32-bit range stop at its ends).
int32_t ReadFieldInt32(TextTokenizer& tokenizer, int32_t defaultValue);
// The leading decimal number ("-1.5", ".25", "3e2"). A field that holds no
// number ("nan", "inf", a word) or one beyond the float range is not used:
// the default is, and the game's log names the file, line and column.
float ReadFieldFloat(TextTokenizer& tokenizer, float defaultValue);
// The leading integer in base 10, base 16 after 0x or 0X, or base 8 after a
// leading 0. Values up to 0xFFFFFFFF keep their 32 bits (colour words).
int32_t ReadFieldLong(TextTokenizer& tokenizer, int32_t defaultValue);
// A new string: in double quotes everything up to the closing quote, CR or
// LF; else everything up to the next comma, semicolon, CR or LF, blanks
// included. For an absent or empty field a copy of the default, or null.
char* ReadFieldString(TextTokenizer& tokenizer, const char* defaultText);

// Writes one line to the game's log naming the place `at` (a character of
// the text) stands on: "FILE line L column C: " and the text given.
void LogTextWarning(const TextTokenizer& tokenizer, const char* at, const std::string& what);
// True when the field at the cursor begins, after blanks and a sign, with a
// digit or a point and a digit.
bool FieldStartsWithNumber(const TextTokenizer& tokenizer);

// Moves the cursor past the field at it, its separator and the blanks and
// tabs after that; stays put at a line end.
void SkipField(TextTokenizer& tokenizer);
// Moves the cursor to the start of the next line.
void SkipLine(TextTokenizer& tokenizer);
