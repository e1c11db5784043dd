// The unit-class import: the class table from one line per class, the
// record's fields in the order of its layout.
#include <algorithm>
#include <cstring>
#include <vector>

#include "records/le_bytes.h"
#include "world/text/editor_imports.h"
#include "world/text/import_reader.h"
#include "world/unit_class_file.h"
#include "world/world.h"

namespace {

constexpr size_t kNameSize = 16;
constexpr size_t kShortNameAt = 16;
constexpr size_t kShortNameSize = 8;
// The type byte indexes the 26 unit types of the text lists.
constexpr int kUnitTypes = 26;
constexpr int kExtraReals = 12;

enum class Cell { kU8, kI16, kU16, kF32, kWord, kFlags, kSecondFlag };
struct Column {
  Cell cell;
  size_t at;
  const char* what;
};

// The columns after number, name and short name, in the record's order.
constexpr Column kUnitClassColumns[] = {
    {Cell::kU8, 24, "type"},
    {Cell::kU8, 25, "class byte"},
    {Cell::kU8, 26, "level"},
    {Cell::kU8, 27, "byte 27"},
    {Cell::kI16, 28, "strength per size"},
    {Cell::kU16, 30, "value per strength point"},
    {Cell::kI16, 32, "successor"},
    {Cell::kI16, 34, "upgrade class"},
    {Cell::kI16, 36, "rubble class"},
    {Cell::kI16, 38, "value at 38"},
    {Cell::kI16, 40, "first technology"},
    {Cell::kI16, 42, "second technology"},
    {Cell::kF32, 44, "build work per strength point"},
    {Cell::kF32, 48, "cost per element"},
    {Cell::kF32, 52, "reach"},
    {Cell::kWord, 56, "availability"},
    {Cell::kI16, 64, "sweep mode"},
    {Cell::kI16, 66, "speed"},
    {Cell::kU8, 68, "sweep low"},
    {Cell::kU8, 69, "sweep high"},
    {Cell::kU8, 70, "base byte"},
    {Cell::kU8, 71, "movement type"},
    {Cell::kFlags, 72, "class flag"},
    {Cell::kSecondFlag, 76, "second flag"},
    {Cell::kF32, 80, "fuel use"},
    {Cell::kF32, 84, "fuel capacity"},
    {Cell::kF32, 88, "ammunition per shot"},
    {Cell::kF32, 92, "ammunition capacity"},
    {Cell::kU16, 96, "cargo slots"},
    {Cell::kU8, 98, "movement cost"},
    {Cell::kU8, 99, "sea movement cost"},
    {Cell::kF32, 100, "cost"},
    {Cell::kF32, 104, "weight per strength point"},
    {Cell::kF32, 108, "carrying capacity"},
    {Cell::kU8, 112, "target type"},
    {Cell::kU8, 113, "category"},
    {Cell::kU8, 114, "fire rate"},
    {Cell::kU8, 115, "build-queue threshold"},
    {Cell::kU16, 116, "size"},
    {Cell::kU16, 118, "spotting strength"},
    {Cell::kU8, 120, "attack 0"},
    {Cell::kU8, 121, "attack 1"},
    {Cell::kU8, 122, "attack 2"},
    {Cell::kU8, 123, "attack 3"},
    {Cell::kU8, 124, "attack 4"},
    {Cell::kU8, 125, "attack 5"},
    {Cell::kU8, 126, "attack 6"},
    {Cell::kU8, 127, "byte 127"},
    {Cell::kU8, 128, "byte 128"},
    {Cell::kU8, 129, "byte 129"},
    {Cell::kU8, 130, "byte 130"},
    {Cell::kU8, 131, "byte 131"},
    {Cell::kU8, 132, "attack against cover"},
    {Cell::kU8, 133, "loadable mask"},
    {Cell::kU8, 134, "slot size"},
    {Cell::kU8, 135, "byte 135"},
    {Cell::kU8, 136, "defence 0"},
    {Cell::kU8, 137, "defence 1"},
    {Cell::kU8, 138, "defence 2"},
    {Cell::kU8, 139, "defence 3"},
    {Cell::kF32, 140, "strike yield"},
    {Cell::kF32, 144, "range 0"},
    {Cell::kF32, 148, "range 1"},
    {Cell::kF32, 152, "range 2"},
    {Cell::kF32, 156, "range 3"},
    {Cell::kF32, 160, "stock range"},
    {Cell::kF32, 164, "spotting range"},
    {Cell::kF32, 168, "value at 168"},
    {Cell::kF32, 172, "value at 172"},
    {Cell::kF32, 176, "value at 176"},
    {Cell::kU8, 180, "carrier capacity"},
    {Cell::kU8, 181, "byte 181"},
    {Cell::kU8, 182, "byte 182"},
    {Cell::kU8, 183, "byte 183"},
    {Cell::kU8, 184, "byte 184"},
    {Cell::kU8, 185, "byte 185"},
    {Cell::kI16, 186, "turret marker"},
    {Cell::kU8, 188, "fire sound"},
    {Cell::kU8, 189, "impact sound"},
    {Cell::kU8, 190, "launch sound"},
    {Cell::kU8, 191, "loss sound"},
    {Cell::kI16, 192, "icon"},
    {Cell::kI16, 194, "second icon"},
    {Cell::kF32, 196, "value at 196"},
};

// The 28 class-flag columns set these bits of the flags word, in order.
// Bits 4, 5, 15 and 29 have no column.
constexpr int kFlagBits[28] = {0,  1,  2,  3,  6,  7,  8,  9,  10, 11, 12, 13, 14, 16,
                               17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 30, 31};
constexpr const char* kFlagNames[28] = {
    "flag bit 0",  "flag bit 1",  "flag bit 2",  "flag bit 3",  "flag bit 6",  "flag bit 7",  "flag bit 8",
    "flag bit 9",  "flag bit 10", "flag bit 11", "flag bit 12", "flag bit 13", "flag bit 14", "flag bit 16",
    "flag bit 17", "flag bit 18", "flag bit 19", "flag bit 20", "flag bit 21", "flag bit 22", "flag bit 23",
    "flag bit 24", "flag bit 25", "flag bit 26", "flag bit 27", "flag bit 28", "flag bit 30", "flag bit 31"};

bool ReadClass(ImportReader& in, UnitClassRecord& c) {
  auto* image = reinterpret_cast<uint8_t*>(static_cast<UnitClassImage*>(&c));
  std::string name;
  std::string shortName;
  if (!in.Text("name", name) || !in.Text("short name", shortName)) return false;
  std::memcpy(c.name, name.data(), std::min(name.size(), kNameSize - 1));
  std::memcpy(c.name + kShortNameAt, shortName.data(), std::min(shortName.size(), kShortNameSize - 1));
  for (const Column& col : kUnitClassColumns) {
    int64_t v = 0;
    switch (col.cell) {
      case Cell::kU8:
        if (!in.Int(col.what, 0, 255, v)) return false;
        image[col.at] = static_cast<uint8_t>(v);
        break;
      case Cell::kI16:
        if (!in.Int(col.what, INT16_MIN, INT16_MAX, v)) return false;
        le::StoreI16(image + col.at, static_cast<int16_t>(v));
        break;
      case Cell::kU16:
        if (!in.Int(col.what, 0, UINT16_MAX, v)) return false;
        le::Store16(image + col.at, static_cast<uint16_t>(v));
        break;
      case Cell::kF32: {
        float f = 0.0f;
        if (!in.Real(col.what, f)) return false;
        le::StoreF32(image + col.at, f);
        break;
      }
      case Cell::kWord: {
        uint32_t w = 0;
        if (!in.Word(col.what, w)) return false;
        le::Store32(image + col.at, w);
        break;
      }
      case Cell::kFlags: {
        uint32_t flags = 0;
        for (int f = 0; f < 28; ++f) {
          bool on = false;
          if (!in.Bool(kFlagNames[f], on)) return false;
          if (on) flags |= 1u << kFlagBits[f];
        }
        le::Store32(image + col.at, flags);
        break;
      }
      case Cell::kSecondFlag: {
        bool on = false;
        if (!in.Bool(col.what, on)) return false;
        le::Store32(image + col.at, on ? 1u : 0u);
        break;
      }
    }
  }
  float extra[kExtraReals] = {};
  bool anyExtra = false;
  for (float& value : extra) {
    bool present = false;
    if (!in.Real("extra block", value, &present)) return false;
    anyExtra = anyExtra || present;
  }
  c.hasExtra = anyExtra;
  c.extraSlot = anyExtra ? 1u : 0u;
  if (anyExtra)
    for (int i = 0; i < kExtraReals; ++i) le::StoreF32(c.extra.data() + 4 * static_cast<size_t>(i), extra[i]);
  // A type beyond the 26 cannot be shown or built: the class is left unnamed.
  if (c.typeByte >= kUnitTypes) std::memset(c.name, 0, sizeof c.name);
  return true;
}

}  // namespace

int32_t ImportUnitsCsv(World& world, const char* name, std::string* error) {
  ImportReader in;
  if (in.Load(name) < 0) return in.Refuse(error);
  if (!in.FindLineKey("MAXNUM")) {
    in.Fail("there is no MAXNUM line");
    return in.Refuse(error);
  }
  // The table is written whole into a file of (count + 4) x 256 bytes.
  constexpr int64_t kMostClasses = 65536;
  int64_t count = 0;
  if (!in.Int("MAXNUM", 1, kMostClasses, count)) return in.Refuse(error);
  if (!in.FindLineKey("ID#")) {
    in.Fail("there is no ID# heading");
    return in.Refuse(error);
  }
  for (int i = 0; i < 3; ++i) in.NextLine();

  std::vector<UnitClassRecord> classes(static_cast<size_t>(count));
  std::vector<bool> seen(static_cast<size_t>(count), false);
  while (!in.AtEnd()) {
    if (in.LineIsBlank()) {
      in.NextLine();
      continue;
    }
    in.BeginLine();
    int64_t id = 0;
    if (!in.Int("class number", 0, count - 1, id)) return in.Refuse(error);
    const size_t i = static_cast<size_t>(id);
    if (seen[i]) {
      in.Fail("class " + std::to_string(id) + " is given twice");
      return in.Refuse(error);
    }
    seen[i] = true;
    if (!ReadClass(in, classes[i])) return in.Refuse(error);
    in.NextLine();
  }

  world.unitClasses = std::move(classes);
  world.unitClassHeader.classCount = static_cast<int32_t>(count);
  world.unitClassHeader.version = kUnitClassVersion;
  GrowDesignBitRows(world);
  return plat::kOk;
}
