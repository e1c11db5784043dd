#include "sim/status_queue.h"

#include <cstdlib>
#include <cstring>

#include "world/world.h"

StatusQueue g_statusQueue;

StatusQueueItem::~StatusQueueItem() {
  std::free(text);
  text = nullptr;
  Unlink();
}

StatusQueue::~StatusQueue() {
  while (ListNode* item = head.next()) {
    item->Unlink();
    DeleteZeroed(static_cast<StatusQueueItem*>(item));
  }
}

// One queue for the run, like the rule tables: only the game world has a
// local player whose lines are shown.
StatusQueue& StatusQueueOf(World&) { return g_statusQueue; }

void AppendStatusLine(World& world, const char* text, uint32_t tick, uint32_t priority) {
  if (!text) return;
  auto* item = NewZeroed<StatusQueueItem>();
  if (!item) return;
  const size_t length = std::strlen(text);
  item->text = static_cast<char*>(std::malloc(length + 1));
  if (!item->text) {
    DeleteZeroed(item);
    return;
  }
  std::memcpy(item->text, text, length + 1);
  item->tick = tick;
  item->priority = priority;
  StatusQueue& queue = StatusQueueOf(world);
  WorldLockGuard hold(world, kLockLocalNews);
  queue.head.Append(item);
  ++queue.count;
}

std::vector<StatusLine> TakeStatusLines(World& world) {
  std::vector<StatusLine> lines;
  StatusQueue& queue = StatusQueueOf(world);
  WorldLockGuard hold(world, kLockLocalNews);
  while (ListNode* node = queue.head.next()) {
    auto* item = static_cast<StatusQueueItem*>(node);
    lines.push_back(StatusLine{item->text ? item->text : "", item->tick, item->priority});
    item->Unlink();
    DeleteZeroed(item);
  }
  queue.count = 0;
  return lines;
}

void ClearStatusQueue(World& world) {
  StatusQueue& queue = StatusQueueOf(world);
  WorldLockGuard hold(world, kLockLocalNews);
  while (ListNode* node = queue.head.next()) {
    node->Unlink();
    DeleteZeroed(static_cast<StatusQueueItem*>(node));
  }
  queue.count = 0;
}
