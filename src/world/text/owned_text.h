#pragma once
// A text owned by a table entry: a zero-terminated copy from the tokenizer
// (malloc'd), freed when replaced or when the entry goes. Null means the
// file gave no text; c_str() shows that as an empty text.
#include <utility>

#include "app/file_helpers.h"

class OwnedText {
 public:
  OwnedText() = default;
  explicit OwnedText(char* adopt) : text_(adopt) {}
  ~OwnedText() { FreeAndClear(text_); }
  OwnedText(const OwnedText&) = delete;
  OwnedText& operator=(const OwnedText&) = delete;
  OwnedText(OwnedText&& other) noexcept : text_(std::exchange(other.text_, nullptr)) {}
  OwnedText& operator=(OwnedText&& other) noexcept {
    if (this != &other) reset(std::exchange(other.text_, nullptr));
    return *this;
  }

  // Takes ownership of a malloc'd text (or null), freeing the old one.
  void reset(char* adopt = nullptr) {
    FreeAndClear(text_);
    text_ = adopt;
  }
  const char* get() const { return text_; }
  const char* c_str() const { return text_ ? text_ : ""; }
  explicit operator bool() const { return text_ != nullptr; }

 private:
  char* text_ = nullptr;
};
