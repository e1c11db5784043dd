#pragma once
// A text owned by a record of a data table: a heap copy, or none. Copies of
// the record copy the text; none and empty stay apart, so a table written
// back keeps exactly the texts it read.
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>

class TableText {
 public:
  TableText() = default;
  explicit TableText(std::string_view text) { assign(text); }
  ~TableText() { std::free(text_); }
  TableText(const TableText& other) {
    if (other.text_) assign(other.text_);
  }
  TableText& operator=(const TableText& other) {
    if (this != &other) {
      if (other.text_)
        assign(other.text_);
      else
        reset();
    }
    return *this;
  }
  TableText(TableText&& other) noexcept : text_(std::exchange(other.text_, nullptr)) {}
  TableText& operator=(TableText&& other) noexcept {
    if (this != &other) {
      std::free(text_);
      text_ = std::exchange(other.text_, nullptr);
    }
    return *this;
  }

  // Replaces the text with a copy of the given one.
  void assign(std::string_view text) {
    auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (!copy) return;
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = 0;
    std::free(text_);
    text_ = copy;
  }
  void reset() {
    std::free(text_);
    text_ = nullptr;
  }
  // Null for none.
  const char* get() const { return text_; }
  const char* c_str() const { return text_ ? text_ : ""; }
  explicit operator bool() const { return text_ != nullptr; }

 private:
  char* text_ = nullptr;
};
