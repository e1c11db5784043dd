#include "world/record_helpers.h"

#include <cstring>
#include <vector>

#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "world/hex_extra.h"
#include "world/world.h"

void CopyRecord64(void* destination, const void* source) {
  if (destination != source) std::memmove(destination, source, 64);
}

void SetWordPair(WordPair& pair, int16_t first, int16_t second) {
  pair.first = first;
  pair.second = second;
}

void ClearWordPair(WordPair& pair) { pair = WordPair{}; }

uint32_t MaskFlags(const UnitRecord& unit, uint32_t mask) { return unit.unitFlags & mask; }

int ClassifyRelation(const PlayerRecord& record) {
  if (record.politic < -40) return 0;
  if (record.politic > 40) return 2;
  return 1;
}

float GetSmallFloatOrZero(const PlayerRecord& record) {
  return record.smallFigure >= 0.01f ? record.smallFigure : 0.0f;
}

InfoBoxPainter g_infoBoxPainter = nullptr;

void DrawInfoBox(void* target, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  InfoBoxFrame frame{};
  frame.left = left;
  frame.top = top;
  frame.right = right;
  frame.bottom = bottom;
  if (InfoBoxPainter paint = g_infoBoxPainter) paint(target, frame);
}

namespace {

enum class Visit : uint8_t { kNone, kOnPath, kMet, kNotMet };

struct PrereqWalk {
  const World& world;
  const PlayerTechState* row;
  bool skipFlagged;
  std::vector<Visit> state;

  bool InTable(int tech) const { return tech > 0 && tech < static_cast<int>(world.techs.size()); }

  bool Known(int tech) const {
    return row && tech < world.gameState.techCount && row[tech].known != 0;
  }

  // Whether one prerequisite stands.
  bool PrereqStands(int prereq) {
    if (prereq == 0) return true;
    // No technology of the table: nothing further to ask of it.
    if (!InTable(prereq)) return true;
    const TechRecord& tech = world.techs[static_cast<size_t>(prereq)];
    const bool counts = tech.category == 0 || (skipFlagged && (tech.flags & 1u)) || Known(prereq);
    return counts && Met(prereq);
  }

  bool Met(int tech) {
    Visit& mark = state[static_cast<size_t>(tech)];
    if (mark == Visit::kMet) return true;
    if (mark == Visit::kNotMet) return false;
    if (mark == Visit::kOnPath) return false;  // a technology that needs itself
    mark = Visit::kOnPath;
    const TechRecord& record = world.techs[static_cast<size_t>(tech)];
    const bool met = PrereqStands(record.prerequisites[0]) && PrereqStands(record.prerequisites[1]);
    state[static_cast<size_t>(tech)] = met ? Visit::kMet : Visit::kNotMet;
    return met;
  }
};

}  // namespace

int TechPrereqsMet(const World& world, int player, int tech, bool skipFlagged) {
  if (tech < 0 || tech >= static_cast<int>(world.techs.size())) return 1;
  PrereqWalk walk{world, TechRow(world, player), skipFlagged, std::vector<Visit>(world.techs.size(), Visit::kNone)};
  return walk.Met(tech) ? 1 : 0;
}
