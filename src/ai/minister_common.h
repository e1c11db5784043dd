#pragma once
// What the department ministers share: the six cabinet posts' blocks, the
// serving minister's skill and ratings, and the writing of a setting to both
// settings copies. Ministers run on the turn thread under the simulation
// lock; the displayed copy is written under the command-log lock, as a
// command's display pass would.
#include <atomic>
#include <cstdint>

#include "records/player_record.h"
#include "world/text/policy_fields.h"
#include "world/world.h"

inline constexpr int kPostMilitary = 1;
inline constexpr int kPostFinance = 3;
inline constexpr int kPostProducts = 4;
inline constexpr int kPostSocial = 5;

// The words of a post block beyond the ids, control, locks and orders: the
// requests the ministers raise during a step.
inline uint32_t PostRequests(const CabinetPolicy& c) { return le::Load32(c.bytes + 12); }
inline void SetPostRequests(CabinetPolicy& c, uint32_t v) { le::Store32(c.bytes + 12, v); }
inline void RaisePostRequests(CabinetPolicy& c, uint32_t bits) { SetPostRequests(c, PostRequests(c) | bits); }

// Byte places in a person's 56-byte entry that the ministers read.
inline constexpr size_t kPersonSkillAt = 8;         // signed
inline constexpr size_t kPersonRatingAt = 9;
inline constexpr size_t kPersonSecondRatingAt = 11;

struct MinisterFigures {
  float skill = 0.0f;   // s: the signed skill byte / 1000
  float rating = 0.1f;  // r: the rating byte / 100 + 0.1
};

// The post is staffed and handed to its minister (simulation copy).
bool PostServed(const PlayerRecord& region, int post);
// The serving minister's s and r; `second` reads the second rating byte. A
// minister number outside the people block counts as skill 0, rating 0.
MinisterFigures MinisterOf(const World& world, const PlayerRecord& region, int post, bool second);

// Applies `change` to the simulation copy, then to the displayed copy under
// the command-log lock.
template <typename Change>
void SetBothCopies(World& world, PlayerRecord& region, Change change) {
  change(region.simPolicy);
  WorldLockGuard hold(world, kLockCommandLog);
  change(region.displayPolicy);
}

// The redraw flag: set to 1 to have the map and the panels drawn again. The
// ministers run inside the minute loop, whose own redraw requests mark the
// day's periods, so they only raise the flag.
extern std::atomic<uint32_t> g_aiRedrawFlag;
void RequestAiRedraw();
