#pragma once
// Services computed from a region record: the social programmes' costs, the
// budget totals of one settings copy, and the cabinet's default orders.
struct PlayerRecord;
struct World;

// Fills the seven social programmes' costs.
void ComputeSocialCosts(World& world, PlayerRecord& region);
// Recomputes the budget figures of one settings copy (0 display, 1 simulation).
void RecalcPlayerTotals(World& world, PlayerRecord& region, int copy);
// Posts the cabinet's default staffing and orders for the region.
void PostCabinetDefaults(World& world, PlayerRecord& region);
