#include "sim/relations.h"

void SetTreaty(PlayerRecord&, int, int, bool, int, bool, bool) {}

void PlayerSurrender(World&, int, int, unsigned) {
  // The surrender's effects come with the relations code.
}
