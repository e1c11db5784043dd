#include "net/net_message_queue.h"

#include <string>

#include "app/app_object.h"
#include "app/log.h"
#include "sim/game_threads.h"
#include "sim/player_message_wire.h"
#include "sim/player_messages.h"
#include "sim/window_messages.h"
#include "world/list_items.h"
#include "world/world.h"

NetMessageQueue g_netQueue;

namespace {

// A player message a peer sent for a player whose messages live here. The
// message is checked whole before it is filed; anything else is dropped.
void FilePlayerMessage(const SessionMessage& message) {
  std::string reason;
  PlayerMessage* received = DecodePlayerMessage(message.payload, message.payloadLength, &reason);
  if (!received) {
    LogWrite(g_platform, "Player message from player %u dropped: %s\n", static_cast<unsigned>(message.sender),
             reason.c_str());
    return;
  }
  const int owner = received->owner;
  const PlayerRecord& record = g_world.players[owner < kMaxPlayers ? owner : 0];
  if (owner >= kMaxPlayers || !TakesPart(record) ||
      !MessagesLiveHere(g_world, owner)) {
    LogWrite(g_platform, "Player message from player %u dropped: player %d is not played here\n",
             static_cast<unsigned>(message.sender), owner);
    DeleteZeroed(received);
    return;
  }
  StorePlayerMessage(g_world, received, owner);
}

}  // namespace

void QueueNetMessage(NetMessageQueue& queue, SessionMessage* message) {
  if (!message) return;
  auto* node = NewZeroed<NetQueueNode>();
  if (!node) {
    FreeNetMessage(message);
    return;
  }
  node->message = message;
  {
    plat::CriticalSectionLock hold(queue.lock);
    queue.head.Append(node);
  }
  if (g_platform.mainWindow) plat::PostWindowMessage(g_platform.mainWindow, kWmNetQueue, 0, 0);
}

void DrainNetQueue(ScreenManager&) {
  NetMessageQueue& queue = g_netQueue;
  for (;;) {
    NetQueueNode* node = nullptr;
    {
      plat::CriticalSectionLock hold(queue.lock);
      ListNode* first = queue.head.next();
      if (!first) return;
      node = static_cast<NetQueueNode*>(first);
    }
    HandleSessionMessage(*node->message);
    {
      plat::CriticalSectionLock hold(queue.lock);
      node->Unlink();
    }
    FreeNetMessage(node->message);
    DeleteZeroed(node);
  }
}

void HandleSessionMessage(const SessionMessage& message) {
  switch (message.kind) {
    case kSmGameSpeed:
      g_world.gameState.gameSpeed = static_cast<int32_t>(message.value);
      if (static_cast<int32_t>(message.value) > 0) SignalRunEvents();
      break;
    case kSmPlayerMessage:
      FilePlayerMessage(message);
      break;
    default:
      // The other kinds arrive with the network session and the game start.
      break;
  }
}

void FreeNetQueue(NetMessageQueue& queue) {
  plat::CriticalSectionLock hold(queue.lock);
  while (ListNode* first = queue.head.next()) {
    auto* node = static_cast<NetQueueNode*>(first);
    node->Unlink();
    FreeNetMessage(node->message);
    DeleteZeroed(node);
  }
}
