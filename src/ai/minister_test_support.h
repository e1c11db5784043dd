#pragma once
// A small world for the ministers' tests: players as in the command tests,
// a people block, and a served post with a minister of the given skill and
// ratings.
#include <cstdint>

#include "ai/minister_common.h"
#include "sim/command_test_world.h"

struct MinisterTestWorld : CommandTestWorld {
  MinisterTestWorld() { world->people.assign(kPeopleBlockSize, 0); }

  PlayerRecord& Region(int p = 2) { return world->players[p]; }

  // Staffs the post of player p with minister 7, handed to it.
  void Serve(int post, int p = 2, int8_t skill = 0, uint8_t rating = 0, uint8_t second = 0) {
    uint8_t* entry = world->people.data() + 7 * kPeopleEntrySize;
    entry[kPersonSkillAt] = static_cast<uint8_t>(skill);
    entry[kPersonRatingAt] = rating;
    entry[kPersonSecondRatingAt] = second;
    for (PlayerPolicyBlock* b : {&Region(p).simPolicy, &Region(p).displayPolicy}) {
      SetCabinetId(b->cabinetPolicy[post], 0, 1);
      SetCabinetId(b->cabinetPolicy[post], 1, 7);
      SetCabinetControl(b->cabinetPolicy[post], 1);
    }
  }
  // Sets a post's words in both copies.
  void Post(int post, uint32_t orders, uint32_t locks = 0, int p = 2) {
    for (PlayerPolicyBlock* b : {&Region(p).simPolicy, &Region(p).displayPolicy}) {
      SetCabinetPriorities(b->cabinetPolicy[post], orders);
      SetCabinetLocks(b->cabinetPolicy[post], locks);
    }
  }
};
