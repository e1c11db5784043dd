#pragma once
// Session messages cross from the threads that make them to the main thread
// through this queue; window message 0x8001 wakes the main thread to drain it.
#include "app/list_node.h"
#include "net/session_message.h"
#include "platform/threads.h"

struct ScreenManager;

struct NetQueueNode : ListNode {
  SessionMessage* message = nullptr;
};

struct NetMessageQueue {
  plat::CriticalSection lock;
  ListNode head;
};

extern NetMessageQueue g_netQueue;

// Appends the message (the queue takes ownership) and wakes the main thread.
void QueueNetMessage(NetMessageQueue& queue, SessionMessage* message);
// Window message 0x8001: hands each queued message to HandleSessionMessage,
// never holding the lock while a message is handled.
void DrainNetQueue(ScreenManager& ui);
void HandleSessionMessage(const SessionMessage& message);
// Frees every queued message (exit).
void FreeNetQueue(NetMessageQueue& queue);
