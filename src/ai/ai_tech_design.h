#pragma once
// A computer region's technology choice of the day: role by role it weighs
// the best class it can build against the best it could develop, and when
// the new one is better it asks for its research (prerequisites first) or,
// when it only takes advice, hears of it from its minister.
#include <cstddef>
#include <cstdint>

struct World;
struct PlayerRecord;

// Record places of the cursors only computer players move, outside the
// bytes the sync checks sum (only the host runs computer players).
inline constexpr size_t kTechRoleCursorAt = 12700;       // u8: 0 to 21
inline constexpr size_t kDesignDomainCursorAt = 12701;   // u8: 0 to 3
inline constexpr size_t kDesignSubRoleCursorAt = 12702;  // u8: 0 to 2
// The missile role, whose weights are the missile type's.
inline constexpr int kTechMissileRole = 8;

// Which classes a choice looks at: those the region can build, those
// available for design, or those it could develop.
enum class ClassPool { kHave, kResearch, kDesign };

struct TechClassQuery {
  int role = 0;
  float blend = 0.0f;
  int subRole = 0;
  uint32_t domainMask = 0;
  int sizeLimit = 0;
  ClassPool pool = ClassPool::kHave;
};

// The class chooser the step weighs with: the best class of the query, 0
// when none, its score through `score` when one is found.
using TechClassChooser = int32_t (*)(const World& world, const PlayerRecord& region, const TechClassQuery& query,
                                     float* score);

// A class's domain for research: 0 land, 1 air, 2 sea, the domain of its
// kind byte, a submarine counting as sea; -1 for a kind of no domain.
int ClassResearchDomain(uint8_t kind);
// The region's research capacity for a domain (0 land, 1 air, 2 sea): the
// working base capacity its census counts for that domain, where a class
// of the domain would be built; 0 outside the three.
int32_t ResearchCapacity(const PlayerRecord& region, int domain);

// The game's chooser: the weighted class choice of unit building.
int32_t AiChooseTechClass(const World& world, const PlayerRecord& region, const TechClassQuery& query, float* score);

void AiTechAndDesignStep(World& world, PlayerRecord& region, TechClassChooser choose);
