#pragma once
// The reading frame shared by the CSV tables: the whole file as text, cells
// separated by commas or semicolons, one row a line, numbered rows whose
// first cell is the row's index.
#include <cstdint>

#include "app/text_tokenizer.h"

// Reads directory + name + extension into the tokenizer. The generic failure,
// with nothing to free, when there is no text.
int32_t LoadCsvText(TextTokenizer& t, const char* directory, const char* name, const char* extension);

// True when the cursor stands at the end of the text (nothing more to read).
bool AtEndOfText(const TextTokenizer& t);

// Reads a keyword's line: finds it (from the start, or onward from the
// cursor), puts the cursor on the next line and returns true; false, with the
// cursor where it was, when the keyword is missing.
bool EnterKeywordBlock(TextTokenizer& t, const char* keyword, bool onward);
