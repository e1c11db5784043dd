#pragma once
// What happened on a region's hexes, told to its computer player: per player
// a list of event records, newest first, pushed by the turn thread and
// taken whole by the region's computer player, which then owns them.
#include <atomic>
#include <cstdint>
#include <vector>

struct World;

struct AiEvent {
  uint32_t tick = 0;      // the game's tick counter when queued
  uint32_t position = 0;  // the hex concerned
  uint32_t third = 0;     // 0, or the id of the unit that raised the alarm
  uint16_t value = 0;     // an alarm's duration in ms, or a weight
  uint16_t kind = 0;
  uint16_t subKind = 0;   // 6 x the count the producer gives
  AiEvent* next = nullptr;  // older
};

class AiEventQueue {
 public:
  AiEventQueue() = default;
  ~AiEventQueue();
  AiEventQueue(const AiEventQueue&) = delete;
  AiEventQueue& operator=(const AiEventQueue&) = delete;

  // Pushes a record on the player's list (the queue owns it from then on).
  // Only the turn thread pushes.
  void Push(int player, AiEvent* event);
  // Takes the player's whole list, newest first; the records are freed.
  std::vector<AiEvent> TakeAll(int player);
  // Frees every list (a game ends).
  void Clear();

 private:
  std::atomic<AiEvent*> heads_[32] = {};
};

// The game's one queue.
extern AiEventQueue g_aiEvents;

// Queues an event of that kind for the player about the hex at position,
// stamped with the current tick; count n makes the sub-kind 6 x n.
void QueueStackEvent(int count, World& world, int player, int kind, int value, uint32_t position,
                     uint32_t third);
