#include "app/ordinal_suffix.h"

#include <cstdint>

int OrdinalSuffixEntry(int number) {
  const int64_t n = number < 0 ? -int64_t{number} : number;
  if (n == 0) return 0;
  const int64_t lastTwo = n % 100;
  if (lastTwo >= 11 && lastTwo <= 13) return 4;
  const int last = static_cast<int>(n % 10);
  return last >= 1 && last <= 3 ? last : 4;
}

std::string OrdinalSuffix(int number, const char* const* suffixes) {
  if (!suffixes) return std::string();
  const char* text = suffixes[OrdinalSuffixEntry(number)];
  return text ? std::string(text) : std::string();
}
