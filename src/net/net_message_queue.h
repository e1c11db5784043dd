#pragma once
// Session messages cross from the threads that make them to the main thread
// through this queue; window message 0x8001 wakes the main thread to drain it.
#include <functional>

#include "app/list_node.h"
#include "net/session_message.h"
#include "platform/threads.h"

struct ScreenManager;
struct NetSession;

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
// Window message 0x8001: hands each queued message to HandleSessionMessage,
// never holding the lock while a message is handled.
void DrainNetQueue(ScreenManager& ui);
// The same for any queue and handler; returns the number handled.
int DrainNetQueue(NetMessageQueue& queue, const std::function<void(const SessionMessage&)>& handle);
// The main thread's action for one session message of the session's world.
void HandleSessionMessage(NetSession& session, const SessionMessage& message, ScreenManager* ui);
void HandleSessionMessage(const SessionMessage& message);
// Frees every queued message (exit).
void FreeNetQueue(NetMessageQueue& queue);
