#pragma once
// Relations between regions: the treaty operation every treaty change goes
// through. The masks, cascades and effects of treaties come with the
// relations code; until then a treaty asked for here changes nothing.
struct PlayerRecord;

// Makes (on) or ends treaty `type` between the record's region and `partner`
// on one copy of its settings (0 display, 1 simulation); with `cascade` the
// treaty types of that kind follow, with `withEffects` feelings and ratings
// move.
void SetTreaty(PlayerRecord& record, int copy, int type, bool on, int partner, bool cascade, bool withEffects);

struct World;

// Options of a surrender.
inline constexpr unsigned kSurrenderMessages = 1u << 0;        // the players are told
inline constexpr unsigned kSurrenderLoyaltyMerge = 1u << 1;    // loyalties pass to the winner
inline constexpr unsigned kSurrenderResearchMerge = 1u << 2;   // research passes to the winner
inline constexpr unsigned kSurrenderAllOptions = kSurrenderMessages | kSurrenderLoyaltyMerge | kSurrenderResearchMerge;

// Region `player` surrenders to `winner`: relations, hexes and holdings go
// over as the options say.
void PlayerSurrender(World& world, int player, int winner, unsigned options);
