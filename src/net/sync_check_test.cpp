// The progress check that holds the minute loop until every person's peer
// has caught up within the command lead.
#include "net/sync_check.h"

#include <gtest/gtest.h>

#include <memory>

#include "world/net_slot.h"
#include "world/world.h"

namespace {

TEST(SyncCheck, PlayersStateHoldsTheClockForALaggingPerson) {
  struct Row {
    bool networked;
    uint32_t tick;
    uint8_t state;  // of slot 3
    uint32_t progress;
    bool inStep;
  };
  const Row rows[] = {
      {true, 100, kSlotHuman, 76, false}, {true, 100, kSlotHuman, 77, true}, {true, 100, kSlotHuman, 100, true},
      {true, 23, kSlotHuman, 0, true},    {true, 24, kSlotHuman, 0, false},  {true, 100, 0, 0, true},
      {false, 100, kSlotHuman, 0, true},
  };
  auto world = std::make_unique<World>();
  world->gameState.commandLead = 25;
  for (const Row& row : rows) {
    world->gameState.currentTick = row.tick;
    world->slotTable[2].state = kSlotHuman;  // the local person, up to date
    world->slotTable[2].progress = row.tick;
    world->slotTable[3].state = row.state;
    world->slotTable[3].progress = row.progress;
    EXPECT_EQ(CheckPlayersState(*world, row.networked), row.inStep)
        << "tick " << row.tick << " progress " << row.progress << " networked " << row.networked;
  }
}

}  // namespace
