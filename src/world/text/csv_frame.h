#pragma once
// The reading frame shared by the CSV tables: the whole file as text, cells
// separated by commas or semicolons, one row a line, numbered rows whose
// first cell is the row's index.
//
// The tables are edited by hand, so a row is read with its cells checked:
// a line too long to be a row is skipped, a row with fewer cells than the
// table's rows have, an empty number cell, a cell that holds no number or a
// number outside the range its column allows is read as the column's
// default, and each of these leaves a line in the game's log naming the
// file, line and column.
#include <cstddef>
#include <cstdint>

#include "app/text_tokenizer.h"

// Reads directory + name + extension into the tokenizer. The generic failure,
// with nothing to free, when there is no text: a table the game needs
// (kRequired) is then named in the log; one a scenario may go without, or
// whose caller says so itself, is named only when it is there but cannot be
// read (too large, empty). NUL bytes in the text are read as
// blanks, and named.
enum class CsvTable { kRequired, kOptional };
int32_t LoadCsvText(TextTokenizer& t, const char* directory, const char* name, const char* extension,
                    CsvTable table = CsvTable::kRequired);

// True when the cursor stands at the end of the text (nothing more to read).
bool AtEndOfText(const TextTokenizer& t);

// Reads a keyword's line: finds it (from the start, or onward from the
// cursor), puts the cursor on the next line and returns true; false, with the
// cursor where it was, when the keyword is missing.
bool EnterKeywordBlock(TextTokenizer& t, const char* keyword, bool onward);

// The longest line a table row may have; no table's row comes near it.
inline constexpr size_t kLongestTableLine = 64 * 1024;

// Checks the line at the cursor before a row is read from it, without
// moving the cursor: false (and a warning) when it is longer than
// kLongestTableLine, so the caller skips it; a warning when it holds fewer
// than `cells` cells (those missing take their defaults).
bool BeginTableLine(TextTokenizer& t, int cells);

enum class RowStart { kRow, kSkip, kEnd };
// Reads a numbered row's first cell into index: kRow for an index in
// [low, high] on a line BeginTableLine accepts; kEnd for the terminator
// (when not negative); kSkip otherwise. A blank line, and text in the
// file's first line (a header), are skipped quietly; an index out of range
// or a first cell that holds no number elsewhere leave a warning. The
// cursor stands after the index cell; the caller skips the rest of the line.
RowStart BeginNumberedRow(TextTokenizer& t, int cells, int32_t low, int32_t high, int32_t& index,
                          int32_t terminator = -1);

// Number cells checked against their column's range [low, high]. An absent
// cell (the line ended) gives the default quietly: BeginTableLine has named
// the short line. Empty, not a number, or out of range: the default, and a
// warning naming the cell.
float ReadRealCell(TextTokenizer& t, float defaultValue, float low, float high);
int32_t ReadIntCell(TextTokenizer& t, int32_t defaultValue, int32_t low, int32_t high);
// The same with the base taken from the text (0x, a leading 0).
int32_t ReadLongCell(TextTokenizer& t, int32_t defaultValue, int32_t low, int32_t high);
// True when the cell at the cursor is one decimal integer and nothing more.
bool CellIsWholeInteger(const TextTokenizer& t);
// A byte column: 0..255, default 0.
uint8_t ReadByteCell(TextTokenizer& t);
