#pragma once
// The values of a class's movement type (UnitClassImage::movementType) that
// the rules tell apart by value; 0 is a ground unit's.

// Moves as a ship or an aircraft, putting down at sea where it may.
inline constexpr int kShipOrAircraft = 6;
// An aircraft that lands on carriers and airfields only.
inline constexpr int kCarrierAircraft = 7;
