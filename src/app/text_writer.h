#pragma once
// Writer of the game's key/value text lines: the key, a tab, the value, a
// comma and a blank, then CR LF ("tabstay\t1, \r\n"). Floats are written in
// fixed notation with six decimals, rounded to nearest. Writers given a null
// file write nothing; write errors are not reported.
#include <cstdint>
#include <cstdio>

#include "app/file_helpers.h"
#include "platform/status.h"

// Opens directory + name + extension (a game path) for writing whole: the
// old file is replaced when `file` is closed. kFail when it cannot be made.
plat::Status CreateTextFile(const char* directory, ReplacingFile& file, const char* name, const char* extension);

void WriteKeyIntLine(std::FILE* file, const char* key, int32_t value);
void WriteKeyByteLine(std::FILE* file, const char* key, uint8_t value);
void WriteKeyFloatLine(std::FILE* file, const char* key, float value);
// One float field ("1.500000, ") without a line end.
void WriteFloatField(std::FILE* file, float value);
