#pragma once
// One-line helpers on records that many parts of the game share.
#include <cstdint>

#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "world/hex_extra.h"
#include "world/world.h"

struct PlayerRecord;

// Copies a 64-byte record (a game command's size) as 16 words.
void CopyRecord64(void* destination, const void* source);

// A pair of 16-bit values kept in one word: a position's column and row.
struct WordPair {
  int16_t first;
  int16_t second;
};
void SetWordPair(WordPair& pair, int16_t first, int16_t second);
void ClearWordPair(WordPair& pair);

// The unit's flag word AND the mask.
uint32_t MaskFlags(const UnitRecord& unit, uint32_t mask);

// The unit is there: not removed and with a class, and, when asked, not
// hidden from the other players. No unit is never active.
// (This and the two below sit in every path and sight fill: inline.)
inline bool IsObjectActive(const UnitRecord* unit, bool requireVisible) {
  if (!unit) return false;
  if (unit->unitFlags & kUnitGone) return false;
  if (unit->classIndex == 0) return false;
  return !(requireVisible && (unit->unitFlags & kUnitProvisional));
}
// The cell's lead unit when it is active, else null.
inline UnitRecord* GetActiveObject(const HexCell* cell, bool requireVisible) {
  if (!cell) return nullptr;
  const HexUnitStack* stack = LoadHexStack(*cell);
  if (!stack) return nullptr;
  UnitRecord* lead = stack->lead;
  return IsObjectActive(lead, requireVisible) ? lead : nullptr;
}

// The terrain record of the cell, or null when the world has no such
// terrain (no terrain table loaded).
inline const TerrainRecord* TerrainOf(const World& world, const HexCell& cell) {
  const auto t = static_cast<size_t>(CellTerrain(cell.word));
  return t < world.terrains.size() ? &world.terrains[t] : nullptr;
}

// The region's political leaning in three classes: 0 below -40, 1 from -40
// to 40, 2 above 40.
int ClassifyRelation(const PlayerRecord& record);

// The record's small figure when it is at least 0.01, else 0.
float GetSmallFloatOrZero(const PlayerRecord& record);

// 1 when each of the technology's two prerequisites is none (0), no
// technology of the table, an empty slot, flagged in bit 0 of its flag word
// (when skipFlagged is set) or known to the player, and, unless it is none,
// its own prerequisites are met in turn; else 0. A technology that needs
// itself, directly or through others, never has its prerequisites met.
int TechPrereqsMet(const World& world, int player, int tech, bool skipFlagged);

// The frame a military screen's information box is painted from: the box's
// rectangle, then words the painter keeps for itself (zero here).
struct InfoBoxFrame {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
  uint32_t painterWords[8];
};
static_assert(sizeof(InfoBoxFrame) == 48);

// The military screens' box painter, installed by the screens that paint
// such boxes; without one a box is not drawn.
using InfoBoxPainter = void (*)(void* target, const InfoBoxFrame& frame);
extern InfoBoxPainter g_infoBoxPainter;

// Fills a frame with the rectangle and hands it, with the caller's target,
// to the box painter.
void DrawInfoBox(void* target, int32_t left, int32_t top, int32_t right, int32_t bottom);
