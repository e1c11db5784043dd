#pragma once
// The cabinet's candidates: people entries 1 to 36 read as the figures the
// cabinet sheets show, their portraits and their political leaning.
#include <cstddef>
#include <cstdint>

#include "screens/common/screen_types_fwd.h"

inline constexpr int32_t kFirstCandidate = 1;
inline constexpr int32_t kLastCandidate = 36;

// Where a candidate's figures sit in its 56-byte people entry.
namespace candidate_at {
inline constexpr size_t kStatus = 4;
inline constexpr size_t kLeaning = 8;  // signed
inline constexpr size_t kPopularity = 9;
inline constexpr size_t kCharisma = 11;
inline constexpr size_t kCompetence = 12;
inline constexpr size_t kInitiative = 13;
inline constexpr size_t kIntegrity = 14;
inline constexpr size_t kMilitaryIq = 15;
inline constexpr size_t kGeneralIq = 16;
inline constexpr size_t kDiplomaticIq = 17;
inline constexpr size_t kEconomicIq = 18;
inline constexpr size_t kProductionIq = 19;
inline constexpr size_t kDomesticIq = 20;
inline constexpr size_t kLeadership = 21;
inline constexpr size_t kTactics = 22;
inline constexpr size_t kAge = 23;
inline constexpr size_t kExperience = 30;      // i16
inline constexpr size_t kMilitaryRating = 34;  // i16
inline constexpr size_t kName = 40;
inline constexpr size_t kNameSize = 16;
}  // namespace candidate_at

struct CabinetCandidate {
  uint8_t status = 0;
  int8_t leaning = 0;
  uint8_t age = 0;
  uint8_t popularity = 0, charisma = 0, competence = 0, initiative = 0, integrity = 0;
  uint8_t militaryIq = 0, generalIq = 0, diplomaticIq = 0, economicIq = 0, productionIq = 0, domesticIq = 0;
  uint8_t leadership = 0, tactics = 0;
  int16_t militaryRating = 0;
  int16_t experience = 0;
  char name[candidate_at::kNameSize + 1] = {};
};

// Candidate c's figures; all zero and an empty name for a number outside 1
// to 36 or past the people the world holds.
CabinetCandidate ReadCandidate(const World& world, int32_t c);
// The "politic" text of a leaning: 0 left (below -40), 2 right (above 40),
// 1 the centre.
int32_t PoliticIndex(int32_t leaning);
// The candidate's age now: the years passed since the game began added.
int32_t CandidateAge(const World& world, const CabinetCandidate& c);
// Portrait c in the picture and its name in the caption (either may be
// null). A number outside 1 to 36 shows no portrait and an empty name.
void ShowCandidatePortrait(int32_t c, Control* picture, Control* caption);
// The department's seat: its state and minister; 0 for a department
// outside 0 to 5 or without a local region.
uint8_t SeatState(int32_t department);
uint8_t SeatedMinister(int32_t department);
uint32_t DepartmentPriorities(int32_t department);
