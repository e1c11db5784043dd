#pragma once
// What a player record's kind word (PlayerRecord::kind, byte 0) holds: one
// name per kind.
#include <cstdint>

// 0 an empty slot; 1, 2 and 3 regions in play (2 led by a person, 3 by the
// computer, 1 the world region, listed only when a list asks for it); 5 out of
// the game (eliminated or surrendered). Every kind but 0 and 5 takes part in
// the game: the "active" players that walks over the regions visit
// (TakesPart, beside the record).
enum PlayerKind : int32_t { kKindEmpty = 0, kKindWorld = 1, kKindHuman = 2, kKindComputer = 3, kKindOut = 5 };
