#pragma once
// Relations between regions: the treaty operation every treaty change goes
// through, the scoring of acts into feelings and ratings, and the election
// figures that read the same ratings.
#include <cstdint>
#include <string>

struct PlayerRecord;
struct World;

// Makes (on) or ends treaty `type` between the record's region and `partner`
// on one copy of its settings (0 display, 1 simulation); with `cascade` the
// treaty types of that kind follow, with `withEffects` feelings and ratings
// move. Types outside 0..127, partners outside 0..31 and a region's treaty
// with itself change nothing.
void SetTreaty(World& world, PlayerRecord& record, int copy, int type, bool on, int partner, bool cascade,
               bool withEffects);
// The same on the game's world. A record that is not one of its regions
// changes only its own settings: no partner, message or other region moves.
void SetTreaty(PlayerRecord& record, int copy, int type, bool on, int partner, bool cascade, bool withEffects);

// An act of the region moves its ratings and the other regions' feelings
// toward it by `amount` (held to -1..1), weighted by w1 (market standing),
// w2 (external standing and feelings), w3 (civil approval), w4 (military
// approval) and w5 (belligerence toward it); each weight counts at most 1
// and a weight of 0 skips its step.
void ApplyReputationChange(World& world, PlayerRecord& record, float amount, float w1, float w2, float w3, float w4,
                           float w5);
// Record R's feelings toward player q move by x: belligerence up (not below
// 0), civil attitude down by x / 3, diplomatic relation down by x / 2.
void AdjustRelationScores(int q, PlayerRecord& record, float x);

// Units of player `striker` hit region R (kind 2 or 3 of the strike): the
// reaction, and 1 when the strike counts as an undeclared attack that this
// machine answers, else 0. R's standing toward the striker is its
// diplomatic relation to it as the strike leaves it: below 0 the strike
// was not invited.
int ResolveRelations(World& world, PlayerRecord& record, int striker, int kind);

// New party shares of the region (normalised, none below 0.02 before the
// normalising) from its civil and military approval, unemployment and the
// sum of its six cabinet members' signed leanings; returns the winning
// party, the lowest number among equal shares.
int ComputeElection(PlayerRecord& record, float cabinetLeaningSum);
// The shares as text, the ruling party first and then the others in number
// order, ended by an empty line; at most 1,024 characters. partyNames[i] is
// the name party i goes by (its choice from the game's party names).
std::string FormatElectionResults(const PlayerRecord& record, const char* const (&partyNames)[4]);

// Options of a surrender.
inline constexpr unsigned kSurrenderMessages = 1u << 0;        // the players are told
inline constexpr unsigned kSurrenderLoyaltyMerge = 1u << 1;    // a merger: hexes, loyalties and holdings pass
inline constexpr unsigned kSurrenderResearchMerge = 1u << 2;   // in a merger, research passes too
inline constexpr unsigned kSurrenderAllOptions = kSurrenderMessages | kSurrenderLoyaltyMerge | kSurrenderResearchMerge;

// Region `player` surrenders to `winner`: the two become friends and hold
// each other's surrender treaties; each of the region's hexes is taken by
// the winner (in a merger handed over whole, loyalty included); the region
// leaves the game with the winner as its heir and its units pass to the
// winner. An ordinary surrender is announced to every player; a merger
// adds the region's treasury, national debt base and stocks (and, with the
// research option, its technologies and designs) to the winner's. Unless
// the scenario has its winner, the region's relations are then cleared as
// for an eliminated region. Nothing for a player or winner outside 1..31 or
// out of the game, or for a region surrendering to itself.
void PlayerSurrender(World& world, int player, int winner, unsigned options);
