#pragma once
// The ordinal suffix of a number ("st", "nd", "rd", "th" in English), from a
// five-entry table of texts that the game's text lists give.
#include <string>

inline constexpr int kOrdinalSuffixEntries = 5;

// The table entry a number takes: 0 for 0; 1, 2 or 3 for a last digit of 1,
// 2 or 3 unless the last two digits are 11, 12 or 13; 4 for every other
// number. A negative number takes the entry of its magnitude.
int OrdinalSuffixEntry(int number);
// That entry of the table (five texts, a null one reading as empty); no
// table gives the empty text.
std::string OrdinalSuffix(int number, const char* const* suffixes);
