#pragma once
// What one computer player keeps between its steps: the map events it has
// taken and still stands by (highest value first), and its lists of idle
// field units by category. Units are held by id, never by address, since the
// turn thread may free a unit between two steps; a listed unit is looked up
// again when it is used. Only the player's own worker touches its state,
// always under the simulation lock; a save reads it under the same lock.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "units/ai_event_queue.h"

struct World;

// An event the worker took: the queued record and how many units it has
// sent so far.
struct StandingEvent {
  AiEvent event;
  uint16_t assigned = 0;
};

// A struck entry of a field-unit list: later walks pass over it.
inline constexpr uint32_t kStruckFieldUnit = 0xFFFFFFFFu;

struct AiWorkerState {
  std::vector<StandingEvent> standing;        // sorted by value, highest first
  std::vector<uint32_t> fieldUnits[4];        // unit ids by category; kStruckFieldUnit for a struck entry
  // The lists came from a save: the worker's first preparation keeps them.
  bool restored = false;
};

// Every player's state (index = player number).
extern AiWorkerState g_aiWorkers[32];

// Forgets every worker's state (a game ends or another is loaded).
void ClearAiWorkers();

// The block of the save's extension section: per player with anything to
// keep, its standing events, its untaken incoming events and its field-unit
// lists. Empty when no worker keeps anything.
std::vector<uint8_t> BuildAiWorkerBlock(World& world);
// Checks such a block and, with `apply`, replaces every worker's state and
// incoming list with it; an empty payload (a save without the block) leaves
// every worker empty. Nothing changes unless all of it is sound; false with
// the reason.
bool ReadAiWorkerBlock(World& world, std::span<const uint8_t> payload, bool apply, std::string& why);
