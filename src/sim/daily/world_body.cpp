#include "sim/daily/world_body.h"

#include "world/player_record.h"
#include "world/world.h"

void RunWorldBodyDay(World&, PlayerRecord&) {
  // The world body's day comes with it.
}
