#pragma once
// The string pool a form is saved with: texts packed one after another,
// each with its terminator. Offset 0 is never a text (it means none), so
// the pool starts with one unused byte. It grows as the texts need.
#include <cstdint>
#include <string>
#include <vector>

class FormStringPool {
 public:
  // Appends the text and returns its offset.
  uint32_t Add(const std::string& text);
  // Offset 0 for an empty text, else Add.
  uint32_t AddOptional(const std::string& text);
  const std::vector<uint8_t>& bytes() const { return bytes_; }
  size_t size() const { return bytes_.size(); }

 private:
  std::vector<uint8_t> bytes_{0};
};
