#include "world/text/csv_frame.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "app/app_object.h"
#include "app/file_helpers.h"
#include "app/log.h"
#include "platform/paths.h"
#include "platform/status.h"

namespace {

bool IsLineEnd(char c) { return c == '\r' || c == '\n' || c == '\0'; }

// The cell at the cursor as it stands, shortened, for a warning.
std::string CellText(const TextTokenizer& t) {
  const char* end = t.cursor;
  while (!IsLineEnd(*end) && *end != ',' && *end != ';' && end - t.cursor < 24) ++end;
  return std::string(t.cursor, static_cast<size_t>(end - t.cursor));
}

enum class Cell { kAbsent, kEmpty, kText, kNumber };

Cell CellAtCursor(const TextTokenizer& t) {
  const char* c = t.cursor;
  if (!c || IsLineEnd(*c)) return Cell::kAbsent;
  if (*c == ',' || *c == ';') return Cell::kEmpty;
  return FieldStartsWithNumber(t) ? Cell::kNumber : Cell::kText;
}

enum class Kind { kInteger, kBaseDetected, kReal };

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// True when the cell at p holds one number of the kind and nothing more
// ("12abc" and "1e308" are no integers, "2.5.1" no real).
bool WholeNumber(const char* p, Kind kind) {
  while (*p == ' ' || *p == '\t') ++p;
  if (*p == '+' || *p == '-') ++p;
  size_t digits = 0;
  if (kind == Kind::kBaseDetected && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && IsHexDigit(p[2])) {
    for (p += 2; IsHexDigit(*p); ++p) ++digits;
  } else {
    for (; IsDigit(*p); ++p) ++digits;
    if (kind == Kind::kReal && *p == '.')
      for (++p; IsDigit(*p); ++p) ++digits;
    if (kind == Kind::kReal && digits && (*p == 'e' || *p == 'E')) {
      ++p;
      if (*p == '+' || *p == '-') ++p;
      if (!IsDigit(*p)) return false;
      while (IsDigit(*p)) ++p;
    }
  }
  while (*p == ' ' || *p == '\t') ++p;
  return digits > 0 && (IsLineEnd(*p) || *p == ',' || *p == ';');
}

std::string Number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

// Checks the cell at the cursor before it is read: false, with a warning
// naming it (and the cell stepped over), when it cannot give a number.
bool NumberCellReadable(TextTokenizer& t, double defaultValue, Kind kind) {
  switch (CellAtCursor(t)) {
    case Cell::kAbsent: {
      // The line ended; after a separator its last cell is there, empty.
      const char* before = t.cursor;
      while (before > t.text && (before[-1] == ' ' || before[-1] == '\t')) --before;
      if (before > t.text && (before[-1] == ',' || before[-1] == ';'))
        LogTextWarning(t, t.cursor, "the cell is empty; " + Number(defaultValue) + " is used.");
      return false;
    }
    case Cell::kEmpty:
      LogTextWarning(t, t.cursor, "the cell is empty; " + Number(defaultValue) + " is used.");
      SkipField(t);
      return false;
    case Cell::kText:
      LogTextWarning(t, t.cursor, "\"" + CellText(t) + "\" is not a number; " + Number(defaultValue) + " is used.");
      SkipField(t);
      return false;
    case Cell::kNumber:
      break;
  }
  if (WholeNumber(t.cursor, kind)) return true;
  LogTextWarning(t, t.cursor,
                 "\"" + CellText(t) + "\" is not " + (kind == Kind::kReal ? "a number" : "a whole number") + "; " +
                     Number(defaultValue) + " is used.");
  SkipField(t);
  return false;
}

template <typename T>
T InRange(const TextTokenizer& t, const char* at, T value, T defaultValue, T low, T high) {
  if (value >= low && value <= high) return value;
  LogTextWarning(t, at,
                 Number(static_cast<double>(value)) + " is outside " + Number(static_cast<double>(low)) + " to " +
                     Number(static_cast<double>(high)) + "; " + Number(static_cast<double>(defaultValue)) +
                     " is used.");
  return defaultValue;
}

// Cells on the line at p, and whether the line is longer than a row may be.
int CountCells(const char* p, bool& tooLong) {
  const char* start = p;
  int cells = IsLineEnd(*p) ? 0 : 1;
  bool quoted = false;
  for (; !IsLineEnd(*p); ++p) {
    if (*p == '"') quoted = !quoted;
    else if (!quoted && (*p == ',' || *p == ';')) ++cells;
  }
  tooLong = static_cast<size_t>(p - start) > kLongestTableLine;
  return cells;
}

}  // namespace

int32_t LoadCsvText(TextTokenizer& t, const char* directory, const char* name, const char* extension, CsvTable table) {
  if (!name) return plat::kFail;
  if (LoadTextFile(directory, t, name, extension) < 0 || !t.text || t.length <= 0) {
    // The game goes on with the rules it held, but never without a word:
    // a table lost in a copy changes the game.
    const std::string path = std::string(directory ? directory : "") + name + (extension ? extension : "");
    std::string why = plat::FileReadRefusal(path);
    if (why.empty()) why = "the file cannot be read";
    if (table == CsvTable::kOptional && !plat::GameFileExists(path)) return plat::kFail;
    LogWrite(g_platform, "%s: %s; the table is not read, and the game plays without its rows.\n", path.c_str(),
             why.c_str());
    return plat::kFail;
  }
  // A NUL byte would end the text where it stands and drop the rows after
  // it: each is read as a blank instead, and named.
  const size_t size = static_cast<size_t>(t.length);
  char* nul = static_cast<char*>(std::memchr(t.text, '\0', size));
  if (nul) {
    LogTextWarning(t, nul, "a NUL byte; it is read as a blank, and the rows after it are read on.");
    for (; nul; nul = static_cast<char*>(std::memchr(nul, '\0', size - static_cast<size_t>(nul - t.text)))) *nul = ' ';
  }
  return plat::kOk;
}

bool AtEndOfText(const TextTokenizer& t) { return !t.cursor || *t.cursor == '\0'; }

bool EnterKeywordBlock(TextTokenizer& t, const char* keyword, bool onward) {
  char* value = FindKeyword(t, keyword, onward);
  if (!value) return false;
  t.cursor = value;
  SkipLine(t);
  return true;
}

bool BeginTableLine(TextTokenizer& t, int cells) {
  if (!t.cursor) return false;
  // The whole line: a numbered row's cursor stands after its index.
  const char* line = t.cursor;
  while (line > t.text && line[-1] != '\n' && line[-1] != '\r') --line;
  bool tooLong = false;
  const int found = CountCells(line, tooLong);
  if (tooLong) {
    LogTextWarning(t, line, "the line is longer than " + std::to_string(kLongestTableLine) + " bytes; it is skipped.");
    return false;
  }
  if (found < cells)
    LogTextWarning(t, line,
                   "the line has " + std::to_string(found) + " of the " + std::to_string(cells) +
                       " cells of a row; the missing ones take their defaults.");
  return true;
}

RowStart BeginNumberedRow(TextTokenizer& t, int cells, int32_t low, int32_t high, int32_t& index, int32_t terminator) {
  index = 0;
  const char* at = t.cursor;
  switch (CellAtCursor(t)) {
    case Cell::kAbsent:
    case Cell::kEmpty:
      return RowStart::kSkip;
    case Cell::kText:
      // A header's first cell is text; elsewhere text names no row.
      if (at != t.text) LogTextWarning(t, at, "\"" + CellText(t) + "\" is not a row number; the line is skipped.");
      return RowStart::kSkip;
    case Cell::kNumber:
      break;
  }
  if (!WholeNumber(at, Kind::kInteger)) {
    LogTextWarning(t, at, "\"" + CellText(t) + "\" is not a row number; the line is skipped.");
    return RowStart::kSkip;
  }
  index = ReadFieldInt32(t, 0);
  if (terminator >= 0 && index == terminator) return RowStart::kEnd;
  if (index < low || index > high) {
    LogTextWarning(t, at,
                   "row " + std::to_string(index) + " is outside " + std::to_string(low) + " to " +
                       std::to_string(high) + "; the line is skipped.");
    return RowStart::kSkip;
  }
  return BeginTableLine(t, cells) ? RowStart::kRow : RowStart::kSkip;
}

float ReadRealCell(TextTokenizer& t, float defaultValue, float low, float high) {
  const char* at = t.cursor;
  if (!NumberCellReadable(t, defaultValue, Kind::kReal)) return defaultValue;
  // ReadFieldFloat names a number beyond the float range itself.
  const float value = ReadFieldFloat(t, defaultValue);
  return InRange(t, at, value, defaultValue, low, high);
}

int32_t ReadIntCell(TextTokenizer& t, int32_t defaultValue, int32_t low, int32_t high) {
  const char* at = t.cursor;
  if (!NumberCellReadable(t, defaultValue, Kind::kInteger)) return defaultValue;
  return InRange(t, at, ReadFieldInt32(t, defaultValue), defaultValue, low, high);
}

int32_t ReadLongCell(TextTokenizer& t, int32_t defaultValue, int32_t low, int32_t high) {
  const char* at = t.cursor;
  if (!NumberCellReadable(t, defaultValue, Kind::kBaseDetected)) return defaultValue;
  return InRange(t, at, ReadFieldLong(t, defaultValue), defaultValue, low, high);
}

bool CellIsWholeInteger(const TextTokenizer& t) { return t.cursor && WholeNumber(t.cursor, Kind::kInteger); }

uint8_t ReadByteCell(TextTokenizer& t) { return static_cast<uint8_t>(ReadIntCell(t, 0, 0, 255)); }
