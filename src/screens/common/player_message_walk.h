#pragma once
// The panels' walk over a player's messages (mail and news), in the list's
// order, under the mail lock.
#include <cstdint>

#include "records/player_record.h"
#include "world/list_items.h"
#include "world/world.h"

// Visits each of the player's messages that carries any of the flags; a
// player out of range has none.
template <class Visit>
void ForEachPlayerMessage(World& world, int32_t player, uint32_t flags, Visit&& visit) {
  if (player < 0 || player >= kMaxPlayers) return;
  WorldLockGuard hold(world, kLockMail);
  ListNode& head = world.messageLists[player];
  for (ListNode* node = head.next(); node && node != &head; node = node->next()) {
    const auto* message = static_cast<const PlayerMessage*>(node);
    if (message->flags & flags) visit(*message);
  }
}
