#pragma once
// Number texts: amounts of money, people, production and force in one
// format with thousands groups, an optional "$ " sign and an abbreviated
// millions form ("1.23 M").
#include <cstddef>
#include <cstdint>

// The out buffer holds at least this many characters, terminator included.
inline constexpr size_t kNumberTextSize = 48;

// Writes leading text, pad, currency sign, the number, pad, trailing text,
// cut to 47 characters, and returns out. With decimals 0 the value is
// floored first. Below 1,000 the value shows with the given decimals; above,
// as thousands groups (from a billion on the units group reads 000), or with
// abbreviate set from a million on as millions ("1.23 M", "1,234 M").
char* FormatNumberText(char* out, int32_t currency, int32_t decimals, const char* leading, int32_t abbreviate,
                       const char* trailing, int32_t pad, double value);
