// The people import: the 256 entries of the people block, one a line.
#include <algorithm>
#include <cstring>
#include <vector>

#include "records/le_bytes.h"
#include "world/text/editor_imports.h"
#include "world/text/import_reader.h"
#include "world/world.h"

namespace {

constexpr size_t kPersonNameAt = 40;
constexpr size_t kPersonNameSize = 16;

// The cells after the name, in column order. A byte cell is 0 to 255; the
// "kept as a byte" cell takes a signed or unsigned byte's range; the three
// spare numbers are checked but the entry has no place for them.
enum class Cell { kByte, kBool, kSignedByte, kSpare, kShort };
struct Column {
  Cell cell;
  size_t at;
  const char* what;
};
constexpr Column kPersonColumns[] = {
    {Cell::kByte, 1, "byte 1"},       {Cell::kByte, 2, "byte 2"},       {Cell::kBool, 4, "flag at 4"},
    {Cell::kSignedByte, 8, "byte 8"}, {Cell::kByte, 9, "byte 9"},       {Cell::kByte, 11, "byte 11"},
    {Cell::kByte, 12, "byte 12"},     {Cell::kByte, 13, "byte 13"},     {Cell::kByte, 14, "byte 14"},
    {Cell::kByte, 15, "byte 15"},     {Cell::kSpare, 0, "spare"},       {Cell::kByte, 17, "byte 17"},
    {Cell::kByte, 19, "byte 19"},     {Cell::kByte, 16, "byte 16"},     {Cell::kByte, 18, "byte 18"},
    {Cell::kByte, 20, "byte 20"},     {Cell::kByte, 21, "byte 21"},     {Cell::kSpare, 0, "spare"},
    {Cell::kByte, 26, "byte 26"},     {Cell::kByte, 24, "byte 24"},     {Cell::kByte, 25, "byte 25"},
    {Cell::kByte, 22, "byte 22"},     {Cell::kByte, 23, "byte 23"},     {Cell::kByte, 27, "byte 27"},
    {Cell::kSpare, 0, "spare"},       {Cell::kShort, 28, "value at 28"}, {Cell::kShort, 32, "value at 32"},
    {Cell::kShort, 30, "value at 30"},
};

bool ReadPerson(ImportReader& in, uint8_t* entry) {
  std::string name;
  if (!in.Text("name", name)) return false;
  std::memcpy(entry + kPersonNameAt, name.data(), std::min(name.size(), kPersonNameSize - 1));
  for (const Column& c : kPersonColumns) {
    int64_t v = 0;
    switch (c.cell) {
      case Cell::kByte:
        if (!in.Int(c.what, 0, 255, v)) return false;
        entry[c.at] = static_cast<uint8_t>(v);
        break;
      case Cell::kSignedByte:
        if (!in.Int(c.what, -128, 255, v)) return false;
        entry[c.at] = static_cast<uint8_t>(v & 0xFF);
        break;
      case Cell::kBool: {
        bool on = false;
        if (!in.Bool(c.what, on)) return false;
        entry[c.at] = on ? 1 : 0;
        break;
      }
      case Cell::kSpare:
        if (!in.Int(c.what, INT32_MIN, INT32_MAX, v)) return false;
        break;
      case Cell::kShort:
        if (!in.Int(c.what, INT16_MIN, INT16_MAX, v)) return false;
        le::StoreI16(entry + c.at, static_cast<int16_t>(v));
        break;
    }
  }
  return true;
}

}  // namespace

int32_t ImportPeopleCsv(World& world, const char* name, std::string* error) {
  ImportReader in;
  if (in.Load(name) < 0) return in.Refuse(error);

  std::vector<uint8_t> people(kPeopleBlockSize, 0);
  std::vector<bool> seen(kPeopleEntries, false);
  bool firstRow = true;
  while (!in.AtEnd()) {
    // Blank rows, and a heading row at the top, are passed over.
    if (in.LineIsBlank()) {
      in.NextLine();
      continue;
    }
    const bool heading = firstRow && in.LineIsHeading();
    firstRow = false;
    if (heading) {
      in.NextLine();
      continue;
    }
    in.BeginLine();
    int64_t index = 0;
    if (!in.Int("index", 0, static_cast<int64_t>(kPeopleEntries) - 1, index)) return in.Refuse(error);
    const size_t i = static_cast<size_t>(index);
    if (seen[i]) {
      in.Fail("person " + std::to_string(index) + " is given twice");
      return in.Refuse(error);
    }
    seen[i] = true;
    if (!ReadPerson(in, people.data() + i * kPeopleEntrySize)) return in.Refuse(error);
    in.NextLine();
  }

  world.people = std::move(people);
  world.peopleHeader.peopleCount = kPeopleEntries;
  return plat::kOk;
}
