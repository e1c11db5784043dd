#pragma once
// Session messages cross from the threads that make them to the main thread
// through this queue; window message 0x8001 wakes the main thread to drain it.
#include <functional>

#include "app/list_node.h"
#include "net/session_message.h"
#include "platform/threads.h"

struct NetQueueNode : ListNode {
  SessionMessage* message = nullptr;
};

struct NetMessageQueue {
  plat::CriticalSection lock;
  ListNode head;
  // Wakes the queue's reader; null posts window message 0x8001 to the main window.
  std::function<void()> wake;
};

extern NetMessageQueue g_netQueue;

// Appends the message (the queue takes ownership) and wakes the main thread.
void QueueNetMessage(NetMessageQueue& queue, SessionMessage* message);
// Hands each queued message to the handler, never holding the lock while a
// message is handled; returns the number handled. The main thread's handler
// is in net_game/session_message_handler.h.
int DrainNetQueue(NetMessageQueue& queue, const std::function<void(const SessionMessage&)>& handle);
// Frees every queued message (exit).
void FreeNetQueue(NetMessageQueue& queue);
