#include "app/text_tokenizer.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "app/app_object.h"
#include "app/log.h"
#include "platform/fpenv.h"
#include "platform/paths.h"

namespace {

bool IsKeywordEnd(char c) {
  return c == ' ' || c == ',' || c == ';' || c == '=' || c == '\t' || c == '\r' || c == '\n' || c == '\0';
}
bool IsKeywordSeparator(char c) { return c == ' ' || c == ',' || c == ';' || c == '=' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }
bool IsFieldEnd(char c) { return c == ',' || c == ';'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char* CopyText(const char* begin, size_t size) {
  auto* copy = static_cast<char*>(std::malloc(size + 1));
  if (!copy) return nullptr;
  if (size) std::memcpy(copy, begin, size);
  copy[size] = '\0';
  return copy;
}

char* CopyDefault(const char* defaultText) {
  return defaultText ? CopyText(defaultText, std::strlen(defaultText)) : nullptr;
}

const char* SkipBlanks(const char* p) {
  while (IsBlank(*p)) ++p;
  return p;
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

// The leading integer in the given base as a sign and a magnitude that
// stops growing past 2^33 (beyond every 32-bit value either way).
struct Magnitude {
  bool negative = false;
  uint64_t value = 0;
};

Magnitude ParseMagnitude(const char* p, int base, bool allowPrefixes) {
  Magnitude m;
  p = SkipBlanks(p);
  if (*p == '+' || *p == '-') m.negative = *p++ == '-';
  if (allowPrefixes) {
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && DigitValue(p[2]) < 16) {
      base = 16;
      p += 2;
    } else if (p[0] == '0') {
      base = 8;
    }
  }
  constexpr uint64_t kCap = uint64_t{1} << 33;
  for (int d = DigitValue(*p); d < base; d = DigitValue(*++p)) {
    m.value = m.value * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    if (m.value > kCap) m.value = kCap;
  }
  return m;
}

int32_t ParseDecimal32(const char* p) {
  const Magnitude m = ParseMagnitude(p, 10, false);
  if (m.negative) return m.value >= uint64_t{1} << 31 ? INT32_MIN : -static_cast<int32_t>(m.value);
  return m.value > INT32_MAX ? INT32_MAX : static_cast<int32_t>(m.value);
}

int32_t ParseLong(const char* p) {
  const Magnitude m = ParseMagnitude(p, 10, true);
  if (m.value > UINT32_MAX) return m.negative ? INT32_MIN : INT32_MAX;
  uint32_t bits = static_cast<uint32_t>(m.value);
  if (m.negative) bits = 0u - bits;
  return static_cast<int32_t>(bits);
}

// Only plain decimal notation counts: no hexadecimal, infinity or NaN can
// reach game arithmetic from a data file.
// The number at p; false when there is none or it is beyond the float range.
bool ParseDecimalFloat(const char* p, float& out) {
  p = SkipBlanks(p);
  const char* start = p;
  if (*p == '+' || *p == '-') ++p;
  size_t digits = 0;
  while (IsDigit(*p)) ++p, ++digits;
  if (*p == '.') {
    ++p;
    while (IsDigit(*p)) ++p, ++digits;
  }
  if (digits == 0) {
    out = 0.0f;
    return false;
  }
  if (*p == 'e' || *p == 'E') {
    const char* e = p + 1;
    if (*e == '+' || *e == '-') ++e;
    if (IsDigit(*e)) {
      while (IsDigit(*e)) ++e;
      p = e;
    }
  }
  const std::string number(start, static_cast<size_t>(p - start));
  const float value = plat::ParseFloat(number.c_str(), nullptr);
  if (std::isinf(value)) {
    out = value < 0 ? -FLT_MAX : FLT_MAX;
    return false;
  }
  out = value;
  return true;
}

// A switch cell read as the tables have always been read: 1 when its
// leading integer is not 0, else 1 when it starts with T or Y (either case),
// else 0; nullopt for a leading integer beyond the 32-bit range, which no
// hand edit means as a switch. `plain` tells whether the cell is a whole
// number from 0 up or one of yes, no, true, false, y, n, t and f, that is
// whether its author can have meant what it reads as.
struct SwitchCell {
  std::optional<bool> value;
  bool plain = false;
};

SwitchCell ReadSwitchCell(const char* p) {
  p = SkipBlanks(p);
  const char* end = p;
  while (*end && !IsFieldEnd(*end) && !IsLineEnd(*end)) ++end;
  while (end > p && IsBlank(end[-1])) --end;
  const std::string cell(p, static_cast<size_t>(end - p));
  const Magnitude m = ParseMagnitude(p, 10, false);
  if (m.value > (m.negative ? uint64_t{1} << 31 : uint64_t{INT32_MAX})) return {};
  SwitchCell out;
  out.value = m.value != 0 || *p == 'T' || *p == 't' || *p == 'Y' || *p == 'y';
  std::string word = cell;
  for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  out.plain = !cell.empty() && std::all_of(cell.begin(), cell.end(), IsDigit);
  for (const char* w : {"yes", "no", "true", "false", "y", "n", "t", "f"}) out.plain = out.plain || word == w;
  return out;
}

// Names a field the reader would not use: the file, its line and column.
void WarnUnusableNumber(const TextTokenizer& t, float used) {
  const char* end = t.cursor;
  while (*end && !IsFieldEnd(*end) && !IsLineEnd(*end) && end - t.cursor < 24) ++end;
  const std::string field(t.cursor, static_cast<size_t>(end - t.cursor));
  char what[96];
  std::snprintf(what, sizeof what, "is not a number the game can use; %g is used instead.", static_cast<double>(used));
  LogTextWarning(t, t.cursor, "\"" + field + "\" " + what);
}

// Common rule of the field readers: true when a field is there to convert.
// An empty field is skipped (and the default applies); an absent one is not.
bool FieldPresent(TextTokenizer& t) {
  const char* c = t.cursor;
  if (!c || *c == '\0' || IsLineEnd(*c)) return false;
  if (IsFieldEnd(*c)) {
    SkipField(t);
    return false;
  }
  return true;
}

}  // namespace

void LogTextWarning(const TextTokenizer& tokenizer, const char* at, const std::string& what) {
  if (at == tokenizer.warnedAt) return;
  tokenizer.warnedAt = at;
  // The line and the cell of `at`: separators inside double quotes belong
  // to their text.
  int line = 1, column = 1;
  bool quoted = false;
  for (const char* c = tokenizer.text; c && c < at; ++c) {
    if (*c == '\n' || (*c == '\r' && c[1] != '\n')) {
      ++line;
      column = 1;
      quoted = false;
    } else if (*c == '"') {
      quoted = !quoted;
    } else if (!quoted && IsFieldEnd(*c)) {
      ++column;
    }
  }
  LogWrite(g_platform, "%s line %d column %d: %s\n", tokenizer.source.empty() ? "text" : tokenizer.source.c_str(), line,
           column, what.c_str());
}

bool FieldStartsWithNumber(const TextTokenizer& tokenizer) {
  if (!tokenizer.cursor) return false;
  const char* p = SkipBlanks(tokenizer.cursor);
  if (*p == '+' || *p == '-') ++p;
  if (*p == '.') ++p;
  return IsDigit(*p);
}

plat::Status LoadTextFile(const char* directory, TextTokenizer& tokenizer, const char* name, const char* extension) {
  FreeAndClear(tokenizer.text);
  tokenizer.length = 0;
  tokenizer.cursor = nullptr;
  tokenizer.notFound = 0;
  tokenizer.endOfText = 0;
  tokenizer.warnedAt = nullptr;
  std::string path = directory ? directory : "";
  path += name ? name : "";
  path += extension ? extension : "";
  const auto bytes = plat::ReadFileBytes(path);
  if (!bytes || bytes->empty()) return plat::kFail;
  // A zero byte after the data: the whole file is text, its last character
  // included.
  tokenizer.text = CopyText(reinterpret_cast<const char*>(bytes->data()), bytes->size());
  if (!tokenizer.text) return plat::kFail;
  tokenizer.length = static_cast<int32_t>(bytes->size());
  tokenizer.cursor = tokenizer.text;
  tokenizer.source = path;
  return plat::kOk;
}

void InitTokenizer(TextTokenizer& tokenizer, const char* text) {
  FreeAndClear(tokenizer.text);
  tokenizer.source.clear();
  if (!text) text = "";
  const size_t size = std::strlen(text);
  tokenizer.text = CopyText(text, size);
  tokenizer.length = tokenizer.text ? static_cast<int32_t>(size + 1) : 0;
  tokenizer.cursor = tokenizer.text;
  tokenizer.notFound = 0;
  tokenizer.endOfText = 0;
  tokenizer.warnedAt = nullptr;
}

char* FindKeyword(TextTokenizer& tokenizer, const char* keyword, bool fromCursor) {
  const char* p = (fromCursor && tokenizer.cursor) ? tokenizer.cursor : tokenizer.text;
  const size_t keywordLength = keyword ? std::strlen(keyword) : 0;
  if (p && keywordLength) {
    while (const char* hit = std::strstr(p, keyword)) {
      const char* after = hit + keywordLength;
      if (IsKeywordEnd(*after)) {
        while (IsKeywordSeparator(*after)) ++after;
        tokenizer.notFound = 0;
        return const_cast<char*>(after);
      }
      // Only the start of a longer word: search on after it.
      p = hit + 1;
    }
  }
  tokenizer.notFound = 1;
  return nullptr;
}

char* ReadKeywordString(TextTokenizer& tokenizer, const char* keyword, const char* defaultText) {
  const char* value = FindKeyword(tokenizer, keyword, false);
  // The default is a value already, not text to take apart: copied whole.
  if (!value) return CopyDefault(defaultText);
  if (*value == '"') ++value;
  const char* end = value;
  while (*end && *end != '"' && !IsLineEnd(*end)) ++end;
  return CopyText(value, static_cast<size_t>(end - value));
}

int32_t ReadFieldBool(TextTokenizer& tokenizer, int32_t defaultValue) {
  if (!FieldPresent(tokenizer)) return defaultValue;
  const SwitchCell cell = ReadSwitchCell(tokenizer.cursor);
  const int32_t result = cell.value ? (*cell.value ? 1 : 0) : defaultValue;
  if (!cell.plain) {
    const char* end = tokenizer.cursor;
    while (*end && !IsFieldEnd(*end) && !IsLineEnd(*end) && end - tokenizer.cursor < 24) ++end;
    LogTextWarning(tokenizer, tokenizer.cursor,
                   "\"" + std::string(tokenizer.cursor, static_cast<size_t>(end - tokenizer.cursor)) +
                       "\" is not a plain switch (0, 1, yes, no, true or false); it reads as " +
                       (result ? "on." : "off."));
  }
  SkipField(tokenizer);
  return result;
}

uint8_t ReadFieldInt(TextTokenizer& tokenizer, uint8_t defaultValue) {
  if (!FieldPresent(tokenizer)) return defaultValue;
  const int32_t value = ParseDecimal32(tokenizer.cursor);
  SkipField(tokenizer);
  return static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFFu);
}

int32_t ReadFieldInt32(TextTokenizer& tokenizer, int32_t defaultValue) {
  if (!FieldPresent(tokenizer)) return defaultValue;
  const int32_t value = ParseDecimal32(tokenizer.cursor);
  SkipField(tokenizer);
  return value;
}

float ReadFieldFloat(TextTokenizer& tokenizer, float defaultValue) {
  if (!FieldPresent(tokenizer)) return defaultValue;
  float value = 0.0f;
  if (!ParseDecimalFloat(tokenizer.cursor, value)) {
    WarnUnusableNumber(tokenizer, defaultValue);
    value = defaultValue;
  }
  SkipField(tokenizer);
  return value;
}

int32_t ReadFieldLong(TextTokenizer& tokenizer, int32_t defaultValue) {
  if (!FieldPresent(tokenizer)) return defaultValue;
  const int32_t value = ParseLong(tokenizer.cursor);
  SkipField(tokenizer);
  return value;
}

char* ReadFieldString(TextTokenizer& tokenizer, const char* defaultText) {
  if (!FieldPresent(tokenizer)) return CopyDefault(defaultText);
  const char* begin = tokenizer.cursor;
  const char* end = nullptr;
  if (*begin == '"') {
    ++begin;
    end = begin;
    while (*end && *end != '"' && !IsLineEnd(*end)) ++end;
  } else {
    end = begin;
    while (*end && !IsFieldEnd(*end) && !IsLineEnd(*end)) ++end;
  }
  char* copy = CopyText(begin, static_cast<size_t>(end - begin));
  SkipField(tokenizer);
  return copy;
}

void SkipField(TextTokenizer& tokenizer) {
  char* c = tokenizer.cursor;
  if (!c) return;
  while (*c && !IsFieldEnd(*c) && !IsLineEnd(*c)) {
    if (*c == '"') {
      ++c;
      while (*c && *c != '"' && !IsLineEnd(*c)) ++c;
      if (*c == '"') ++c;
    } else {
      ++c;
    }
  }
  if (IsFieldEnd(*c)) ++c;
  while (IsBlank(*c)) ++c;
  tokenizer.cursor = c;
  tokenizer.endOfText = *c == '\0' ? 1 : 0;
}

void SkipLine(TextTokenizer& tokenizer) {
  char* c = tokenizer.cursor;
  if (!c) return;
  while (*c && !IsLineEnd(*c)) ++c;
  if (*c == '\r') ++c;
  if (*c == '\n') ++c;
  tokenizer.cursor = c;
  tokenizer.endOfText = *c == '\0' ? 1 : 0;
}
