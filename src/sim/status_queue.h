#pragma once
// The local player's status lines: short texts of the message types that ask
// for one, newest last, for the status-line display to show and take. Guarded
// by the world's local-news lock.
#include <cstdint>
#include <string>
#include <vector>

#include "app/list_node.h"

struct World;

struct StatusQueueItem : ListNode {
  ~StatusQueueItem() override;
  char* text = nullptr;  // owned (malloc)
  uint32_t shown = 0;     // interface milliseconds when the line went up; 0 while it waits
  uint32_t tick = 0;      // the game's minute tick when it was posted
  uint32_t priority = 0;
};

struct StatusQueue {
  StatusQueue() = default;
  ~StatusQueue();
  StatusQueue(const StatusQueue&) = delete;
  StatusQueue& operator=(const StatusQueue&) = delete;

  ListNode head;      // items behind it, oldest first
  int32_t count = 0;  // items appended and not yet taken
};

// The status queue of the game world.
extern StatusQueue g_statusQueue;
StatusQueue& StatusQueueOf(World& world);

// Appends a copy of the text at the end, under the local-news lock.
void AppendStatusLine(World& world, const char* text, uint32_t tick, uint32_t priority);

struct StatusLine {
  std::string text;
  uint32_t tick = 0;
  uint32_t priority = 0;
};
// Takes every queued line out, oldest first, under the local-news lock.
std::vector<StatusLine> TakeStatusLines(World& world);
// Frees every queued line.
void ClearStatusQueue(World& world);
