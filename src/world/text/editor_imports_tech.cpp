// The technology-tree import: N + 1 technologies, one a line, in table order.
#include <vector>

#include "world/tech_file.h"
#include "world/text/editor_imports.h"
#include "world/text/import_reader.h"
#include "world/world.h"

namespace {

constexpr int kTechFlags = 5;

bool ReadByteCell(ImportReader& in, const char* what, int64_t low, int64_t high, int64_t& v) {
  return in.Int(what, low, high, v);
}

bool ReadTech(ImportReader& in, int64_t last, TechRecord& t) {
  int64_t v = 0;
  if (!ReadByteCell(in, "category", 0, 255, v)) return false;
  t.category = static_cast<uint8_t>(v);
  std::string name;
  std::string text;
  bool hasName = false;
  bool hasText = false;
  if (!in.Text("name", name, &hasName) || !in.Text("description", text, &hasText)) return false;
  if (hasName) t.name.assign(name);
  if (hasText) t.text.assign(text);
  for (int i = 0; i < 2; ++i) {
    if (!in.Int(i == 0 ? "first prerequisite" : "second prerequisite", 0, last, v)) return false;
    t.prerequisites[i] = static_cast<int16_t>(v);
  }
  if (!in.Real("research cost", t.researchCost)) return false;
  if (!ReadByteCell(in, "level", 0, 255, v)) return false;
  t.techLevel = static_cast<uint8_t>(v);
  if (!in.Real("price", t.price)) return false;
  for (int i = 0; i < 2; ++i) {
    if (!ReadByteCell(in, "effect code", 0, 255, v)) return false;
    t.effectCodes[i] = static_cast<uint8_t>(v);
  }
  for (int i = 0; i < 2; ++i) {
    if (!ReadByteCell(in, "effect percentage", -128, 127, v)) return false;
    t.effectPercents[i] = static_cast<int8_t>(v);
  }
  if (!in.Int("popular opinion", INT16_MIN, INT16_MAX, v)) return false;
  t.popularOpinion = static_cast<int16_t>(v);
  if (!in.Int("world opinion", INT16_MIN, INT16_MAX, v)) return false;
  t.worldOpinion = static_cast<int16_t>(v);
  if (!in.Real("value at 32", t.value32)) return false;
  if (!in.Int("value at 2", INT16_MIN, INT16_MAX, v)) return false;
  t.value2 = static_cast<int16_t>(v);
  uint32_t flags = 0;
  for (int i = 0; i < kTechFlags; ++i) {
    bool on = false;
    if (!in.Bool("technology flag", on)) return false;
    if (on) flags |= 1u << i;
  }
  t.flags = flags;
  return true;
}

}  // namespace

int32_t ImportTechTreeCsv(World& world, const char* name, std::string* error) {
  ImportReader in;
  if (in.Load(name) < 0) return in.Refuse(error);
  if (!in.FindLineKey("MAXNUM")) {
    in.Fail("there is no MAXNUM line");
    return in.Refuse(error);
  }
  // Prerequisites are 16-bit technology numbers.
  int64_t last = 0;
  if (!in.Int("MAXNUM", 0, INT16_MAX, last)) return in.Refuse(error);
  for (int i = 0; i < 3; ++i) in.NextLine();

  std::vector<TechRecord> techs(static_cast<size_t>(last) + 1);
  size_t index = 0;
  while (!in.AtEnd() && index < techs.size()) {
    if (in.LineIsBlank()) {  // an empty row keeps its place: the slot stays empty
      ++index;
      in.NextLine();
      continue;
    }
    in.BeginLine();
    if (!ReadTech(in, last, techs[index])) return in.Refuse(error);
    ++index;
    in.NextLine();
  }

  world.techs = std::move(techs);
  world.techHeader.techCount = static_cast<int32_t>(world.techs.size());
  GrowTechStateRows(world);
  return plat::kOk;
}
