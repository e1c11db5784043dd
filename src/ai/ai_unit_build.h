#pragma once
// A computer player's unit building: the classes it orders at its producing
// bases, step by step along the build sequence of their domain, and the
// missiles it buys in batches; both choose a class by weighing the class
// statistics with a role's weights.
#include <cstdint>

struct PlayerRecord;
struct World;

// The missile role: its weights are the missile type's (the sub-role).
inline constexpr int kMissileRole = 8;
// Roles with a row of weights.
inline constexpr int kWeightedRoles = 26;

struct ClassChoice {
  int role = 0;
  float blend = 0.0f;  // 0: the role's first weight row, 1: its second
  bool optionA = false;
  bool optionB = false;
  bool optionC = false;
  int subRole = 0;           // the missile type, for the missile role
  uint32_t domainMask = 0;   // the missile role: domains the class must serve
  int sizeLimit = 0;         // the missile role: the largest size class
  bool designMode = false;   // a class the player may develop, not yet has
  bool researchMode = false; // a class available for design
};

// The best class of the role for the player (the highest weighted sum of
// its statistics; on a tie the lower class), or 0 when none qualifies. The
// score goes to `score` when a class is found.
int32_t AiChooseUnitClass(const World& world, const PlayerRecord& player, const ClassChoice& choice,
                          float* score = nullptr);

// The tier of the build sequence that the first auto-build value selects.
int AiBuildTier(uint8_t firstValue);

// Fills the free production slots of the player's producing bases, a class
// per slot, and tells the player (the caller holds the simulation lock).
void AiOrderUnitBuild(World& world, PlayerRecord& player);

// Buys missiles by domain and type up to the player's batch limit.
void AiOrderUnitBatch(World& world, PlayerRecord& player);
