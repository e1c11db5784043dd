#include "sim/turn_end_upkeep.h"

#include "sim/player_messages.h"
#include "sim/simulation_lock.h"
#include "world/world.h"

void TurnEndUpkeep(World& world) {
  // Commands change which regions take part under the simulation lock; the
  // walk over them holds it as any screen walking the world does.
  plat::CriticalSectionLock simulation(g_simulationLock);
  ExpireAllPlayerMessages(world);
}
