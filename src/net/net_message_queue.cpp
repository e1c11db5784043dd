#include "net/net_message_queue.h"

#include "app/app_object.h"
#include "app/window_messages.h"
#include "platform/window.h"

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
  if (queue.wake)
    queue.wake();
  else if (g_platform.mainWindow)
    plat::PostWindowMessage(g_platform.mainWindow, kWmNetQueue, 0, 0);
}

int DrainNetQueue(NetMessageQueue& queue, const std::function<void(const SessionMessage&)>& handle) {
  int handled = 0;
  for (;;) {
    NetQueueNode* node = nullptr;
    {
      plat::CriticalSectionLock hold(queue.lock);
      ListNode* first = queue.head.next();
      if (!first) return handled;
      node = static_cast<NetQueueNode*>(first);
    }
    handle(*node->message);
    ++handled;
    {
      plat::CriticalSectionLock hold(queue.lock);
      node->Unlink();
    }
    FreeNetMessage(node->message);
    DeleteZeroed(node);
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
