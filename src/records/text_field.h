#pragma once
// Fixed-size text fields of file records: read up to the first zero byte or
// the field's end, whichever comes first; written cut to fit, zero-filled.
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

template <size_t N>
std::string FieldText(const char (&field)[N]) {
  return std::string(field, strnlen(field, N));
}

template <size_t N>
void SetFieldText(char (&field)[N], std::string_view text) {
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), text.size() < N - 1 ? text.size() : N - 1);
}
