#include "world/text/import_reader.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/fpenv.h"
#include "platform/status.h"
#include "world/data_file_io.h"
#include "world/text/csv_frame.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }
bool IsSeparator(char c) { return c == ',' || c == ';'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Trimmed(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// A whole number in base 10 (or 16 after 0x when allowed) with an optional
// sign and nothing after it.
bool ParseWhole(const std::string& text, bool allowHex, int64_t& value) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (allowHex && i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= text.size()) return false;
  uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    int digit;
    if (IsDigit(c))
      digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return false;
    magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    if (magnitude > (uint64_t{1} << 40)) return false;  // far beyond every column's range
  }
  value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
  return true;
}

// A decimal real: sign, digits with an optional point, optional exponent.
bool IsDecimalReal(const std::string& text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t exponentDigits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  return i == text.size();
}

}  // namespace

int32_t ImportReader::Load(const char* name) {
  path_ = std::string("CUSTOM\\") + (name ? name : "") + ".CSV";
  error_.clear();
  if (LoadCsvText(t_, "CUSTOM\\", name, ".CSV", CsvTable::kOptional) < 0) {
    error_ = path_ + ": the file cannot be read or is empty";
    return plat::kFail;
  }
  return plat::kOk;
}

int ImportReader::LineAt(const char* p) const {
  int line = 1;
  if (!t_.text || !p) return line;
  for (const char* c = t_.text; c < p && *c; ++c) {
    if (*c == '\n' || (*c == '\r' && c[1] != '\n')) ++line;
  }
  return line;
}

void ImportReader::Fail(const std::string& what) {
  if (!error_.empty()) return;
  error_ = path_ + " line " + std::to_string(LineAt(t_.cursor)) + ": " + what;
}

bool ImportReader::FindLineKey(const char* key) {
  if (!t_.text || !key || !*key) return false;
  const size_t length = std::strlen(key);
  const char* p = t_.text;
  while (*p) {
    const char* cell = p;
    while (IsBlank(*cell)) ++cell;
    if (std::strncmp(cell, key, length) == 0) {
      const char* after = cell + length;
      while (IsBlank(*after)) ++after;
      afterSeparator_ = false;
      if (IsSeparator(*after)) {
        ++after;
        while (IsBlank(*after)) ++after;
        afterSeparator_ = true;
      }
      t_.cursor = const_cast<char*>(after);
      column_ = 1;
      return true;
    }
    while (*p && !IsLineEnd(*p)) ++p;
    if (*p == '\r') ++p;
    if (*p == '\n') ++p;
  }
  return false;
}

void ImportReader::NextLine() {
  SkipLine(t_);
  BeginLine();
}

bool ImportReader::AtEnd() const { return !t_.cursor || *t_.cursor == '\0'; }

bool ImportReader::LineIsBlank() const {
  if (!t_.cursor) return true;
  for (const char* p = t_.cursor; *p && !IsLineEnd(*p); ++p) {
    if (!IsBlank(*p) && !IsSeparator(*p)) return false;
  }
  return true;
}

bool ImportReader::LineIsHeading() const {
  if (!t_.cursor) return false;
  const char* p = t_.cursor;
  while (IsBlank(*p) || *p == '"') ++p;
  return (*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z');
}

bool ImportReader::Cell(const char* what, std::string& text, bool& present) {
  if (!ok()) return false;
  ++column_;
  const char* p = t_.cursor;
  if (!p || *p == '\0' || IsLineEnd(*p)) {
    if (afterSeparator_) {  // "a,b," ends with an empty third cell
      afterSeparator_ = false;
      text.clear();
      present = false;
      return true;
    }
    Fail("column " + std::to_string(column_) + " (" + what + ") is missing");
    return false;
  }
  if (IsSeparator(*p)) {
    SkipField(t_);
    text.clear();
    present = false;
  } else {
    char* raw = ReadFieldString(t_, "");
    text = Trimmed(raw ? raw : "");
    FreeAndClear(raw);
    present = !text.empty();
  }
  // Whether the cell's separator was passed over (not a line end).
  const char* back = t_.cursor;
  while (back > t_.text && IsBlank(back[-1])) --back;
  afterSeparator_ = back > t_.text && IsSeparator(back[-1]);
  return true;
}

bool ImportReader::Int(const char* what, int64_t low, int64_t high, int64_t& value, bool* present) {
  std::string text;
  if (!Text(what, text, present)) return false;
  if (text.empty()) return true;  // an empty cell keeps the value
  int64_t v = 0;
  if (!ParseWhole(text, false, v)) {
    FailColumn(what, "\"" + text + "\" is not a whole number");
    return false;
  }
  if (v < low || v > high) {
    FailColumn(what, text + " is outside " + std::to_string(low) + " to " + std::to_string(high));
    return false;
  }
  value = v;
  return true;
}

bool ImportReader::Word(const char* what, uint32_t& value, bool* present) {
  std::string text;
  if (!Text(what, text, present)) return false;
  if (text.empty()) return true;  // an empty cell keeps the value
  int64_t v = 0;
  if (!ParseWhole(text, true, v) || v < 0 || v > 0xFFFFFFFFll) {
    FailColumn(what, "\"" + text + "\" is not a 32-bit word");
    return false;
  }
  value = static_cast<uint32_t>(v);
  return true;
}

bool ImportReader::Real(const char* what, float& value, bool* present) {
  std::string text;
  if (!Text(what, text, present)) return false;
  if (text.empty()) return true;  // an empty cell keeps the value
  float v = 0.0f;
  if (IsDecimalReal(text)) v = plat::ParseFloat(text.c_str(), nullptr);
  if (!IsDecimalReal(text) || !std::isfinite(v)) {
    FailColumn(what, "\"" + text + "\" is not a number");
    return false;
  }
  value = v;
  return true;
}

bool ImportReader::Bool(const char* what, bool& value, bool* present) {
  std::string text;
  if (!Text(what, text, present)) return false;
  if (text.empty()) return true;  // an empty cell keeps the value
  int64_t v = 0;
  if (ParseWhole(text, false, v)) {
    value = v != 0;
    return true;
  }
  switch (text[0]) {
    case 'T': case 't': case 'Y': case 'y':
      value = true;
      return true;
    case 'F': case 'f': case 'N': case 'n':
      value = false;
      return true;
    default:
      FailColumn(what, "\"" + text + "\" is not yes or no");
      return false;
  }
}

bool ImportReader::Text(const char* what, std::string& value, bool* present) {
  bool has = false;
  if (!Cell(what, value, has)) return false;
  if (present) *present = has;
  return true;
}

int32_t ImportReader::Refuse(std::string* error) const {
  LogRefusedFile(path_, error_);
  if (error) *error = error_;
  return plat::kFail;
}
