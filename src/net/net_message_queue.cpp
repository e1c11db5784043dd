#include "net/net_message_queue.h"

#include "app/app_object.h"
#include "sim/game_threads.h"
#include "world/world.h"

NetMessageQueue g_netQueue;

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
  if (g_platform.mainWindow) plat::PostWindowMessage(g_platform.mainWindow, 0x8001, 0, 0);
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
