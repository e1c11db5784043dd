#pragma once
// A computer player's answer to what happened on its hexes: the map events
// the turn thread queued for it are taken, kept by urgency, and answered by
// sending the best-placed idle field units there with unit orders.
#include <cstdint>

struct AiEvent;
struct PlayerRecord;
struct UnitRecord;
struct World;

// The orders an answer gives: the plain move, and the attack move a strong
// enough call on land units gets.
inline constexpr int kAnswerMoveOrder = 1;
inline constexpr int kAnswerAttackOrder = 41;

// Takes the player's incoming events and answers each in the order taken
// (the caller holds the simulation lock). Nothing when none came in.
void AnswerMapEvents(World& world, PlayerRecord& player);

// Whether the region's listed unit may answer the event: it may go there
// (or stands on standing orders and the call is urgent enough) and is fit
// for service. Its score, the smaller the better placed, goes to `score`.
bool AiUnitQualifies(const World& world, const PlayerRecord& player, const UnitRecord& unit, const AiEvent& event,
                     float* score);

// Answers one event of the player's standing list with its idle field
// units, as an event taken from the queue is answered (the caller holds the
// simulation lock).
struct StandingEvent;
void AnswerStandingEvent(World& world, PlayerRecord& player, StandingEvent& standing);

// The distance the answer measures between two packed hexes.
int32_t AiHexDistance(const World& world, uint32_t a, uint32_t b);
