#include "world/player_services.h"

void ComputeSocialCosts(World&, PlayerRecord&) {
  // The costs come with the region services.
}

void RecalcPlayerTotals(World&, PlayerRecord&, int) {
  // The budget totals come with the region services.
}

void PostCabinetDefaults(World&, PlayerRecord&) {
  // The cabinet's defaults come with the region services.
}
