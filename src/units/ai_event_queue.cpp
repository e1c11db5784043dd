#include "units/ai_event_queue.h"

#include "world/world.h"

AiEventQueue g_aiEvents;

AiEventQueue::~AiEventQueue() { Clear(); }

void AiEventQueue::Push(int player, AiEvent* event) {
  if (player < 0 || player >= 32) {
    delete event;
    return;
  }
  // The consumer may take the list between the two exchanges: it then finds
  // it empty and gets this record, with the older ones behind it, next time.
  AiEvent* older = heads_[player].exchange(nullptr, std::memory_order_acq_rel);
  event->next = older;
  AiEvent* taken = heads_[player].exchange(event, std::memory_order_acq_rel);
  // Only the turn thread pushes, so nothing else can have been put there.
  while (taken) {
    AiEvent* n = taken->next;
    delete taken;
    taken = n;
  }
}

std::vector<AiEvent> AiEventQueue::TakeAll(int player) {
  std::vector<AiEvent> out;
  if (player < 0 || player >= 32) return out;
  AiEvent* e = heads_[player].exchange(nullptr, std::memory_order_acq_rel);
  while (e) {
    AiEvent* n = e->next;
    out.push_back(*e);
    out.back().next = nullptr;
    delete e;
    e = n;
  }
  return out;
}

void AiEventQueue::Clear() {
  for (int p = 0; p < 32; ++p) TakeAll(p);
}

void QueueStackEvent(int count, World& world, int player, int kind, int value, uint32_t position,
                     uint32_t third) {
  auto* event = new AiEvent;
  event->tick = world.gameState.currentTick;
  event->position = position;
  event->third = third;
  event->value = static_cast<uint16_t>(value);
  event->kind = static_cast<uint16_t>(kind);
  event->subKind = static_cast<uint16_t>(count * 6);
  g_aiEvents.Push(player, event);
}
