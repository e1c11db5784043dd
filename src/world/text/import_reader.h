#pragma once
// The strict reading frame of the editor's CSV imports. The files come from
// scenario designers' spreadsheets, so unlike the shipped rule tables a cell
// that is not what its column needs is an error: the import names the file,
// the line and the column, and changes nothing.
//
// Cells follow the text format of the tokenizer: separated by commas or
// semicolons, optionally in double quotes, blanks around them ignored. An
// empty cell (including one after a separator that ends the line) gives its
// column's default; a line that ends before a column the import needs is an
// error.
#include <cstdint>
#include <string>

#include "app/text_tokenizer.h"

class ImportReader {
 public:
  // Reads "CUSTOM\" + name + ".CSV". kFail when there is no text (missing,
  // empty or unreadable file); the error then says so.
  int32_t Load(const char* name);

  const std::string& path() const { return path_; }
  bool ok() const { return error_.empty(); }
  // The first error: "<path> line <n>: <what>", or empty.
  const std::string& error() const { return error_; }
  // Records an error at the cursor's line (only the first one is kept).
  void Fail(const std::string& what);
  // Ends an import that changes nothing: logs the file's refusal with the
  // first error, hands the error to the caller when asked, and gives kFail.
  int32_t Refuse(std::string* error) const;

  // Finds a line whose first cell begins with the key, searching from the
  // start of the text, and puts the cursor on the cells after it: blanks
  // and one comma or semicolon that ends the key's own cell are passed
  // over. Keys are matched only at the start of a line, so "gdpc;" never
  // matches inside "wmgdpc;". False, cursor unchanged, when no line has it.
  bool FindLineKey(const char* key);
  // Puts the cursor at the start of the next line.
  void NextLine();
  // True at the end of the text.
  bool AtEnd() const;
  // True when the cursor's line holds nothing but blanks and separators.
  bool LineIsBlank() const;
  // True when the cursor's line begins with a letter (a heading row).
  bool LineIsHeading() const;
  // Starts counting columns for the cursor's line (for error messages).
  void BeginLine() {
    column_ = 0;
    afterSeparator_ = false;
  }
  // Records an error about the column just read.
  void FailColumn(const char* what, const std::string& why) {
    Fail("column " + std::to_string(column_) + " (" + what + "): " + why);
  }

  // Cell readers. Each returns false (after recording an error) when the
  // cell is missing, is not of its kind or lies outside its range; an empty
  // cell gives *present = false (when asked) and leaves the value alone.
  // `what` names the column in messages.
  bool Int(const char* what, int64_t low, int64_t high, int64_t& value, bool* present = nullptr);
  // Decimal, or hexadecimal after 0x; a 32-bit word.
  bool Word(const char* what, uint32_t& value, bool* present = nullptr);
  bool Real(const char* what, float& value, bool* present = nullptr);
  // 1 or 0: a whole number (not 0 is 1) or a word beginning with T, Y (1)
  // or F, N (0), in either case.
  bool Bool(const char* what, bool& value, bool* present = nullptr);
  // The cell's text, quotes and surrounding blanks removed; empty for an
  // empty cell.
  bool Text(const char* what, std::string& value, bool* present = nullptr);

  TextTokenizer& tokenizer() { return t_; }

 private:
  // The cell's raw text; false with an error when the line has ended.
  bool Cell(const char* what, std::string& text, bool& present);
  int LineAt(const char* p) const;

  TextTokenizer t_;
  std::string path_;
  std::string error_;
  int column_ = 0;
  // The last cell read ended with a separator: a line that ends right after
  // it still holds one (empty) cell.
  bool afterSeparator_ = false;
};
