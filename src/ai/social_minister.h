#pragma once
// The social minister: each day in its band it watches stability and the
// groups' satisfaction, raises the social spending items that fall behind,
// keeps the military research budget near its mark, shifts research money
// between its three uses as the standing orders say, and reports to its
// region.
#include <cstdint>
#include <vector>

#include "sim/message_ids.h"
#include "sim/player_messages.h"

struct World;
struct PlayerRecord;

// The social post's lock bit that leaves every social spending item as it
// stands.
inline constexpr uint32_t kSocialLockAll = 1u << 16;

struct SocialReport {
  uint32_t type = 0;
  MessageParams params;
};

// The reports of one step, in the order they go: `s` the minister's skill,
// `orders` and `locks` the post's standing orders and lock word.
std::vector<SocialReport> SocialMinisterReports(const World& world, const PlayerRecord& region, float s,
                                                uint32_t orders, uint32_t locks);

// Runs the step for a region whose social post is served; else nothing.
void DepartmentMinisterStepD(World& world, PlayerRecord& region);
