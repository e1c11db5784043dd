#include "ui/deferred_actions.h"

#include "ui/screen.h"
#include "ui/ui_screen_hooks.h"

namespace {

void Cancel(PollRegistration* node) {
  if (node->screen) node->screen->pollRegistration = nullptr;
  node->screen = nullptr;
  node->cancelled = 1;
}

void Free(PollRegistration* node) {
  node->Unlink();
  DeleteZeroed(node);
}

// Calls fn on each node, having read the next link first; stops at the head
// or at a ring that fell apart.
template <typename Fn>
void Walk(PollRing& ring, Fn fn) {
  ListNode* n = ring.head.next();
  while (n && n != &ring.head) {
    ListNode* after = n->next();
    fn(static_cast<PollRegistration*>(n));
    n = after;
  }
}

}  // namespace

void QueueDeferredUiAction(Screen* screen, intptr_t argument) {
  PollRing* ring = g_uiScreenHooks.pollRing;
  if (!screen || !ring) return;
  if (screen->pollRegistration) Cancel(screen->pollRegistration);
  auto* node = NewZeroed<PollRegistration>();
  if (!node) return;
  screen->pollRegistration = node;
  ring->head.Append(node);
  node->screen = screen;
  node->argument = argument;
}

void CancelDeferredUiAction(Screen* screen) {
  if (screen && screen->pollRegistration) Cancel(screen->pollRegistration);
}

void RunDeferredActions(PollRing& ring) {
  if (ring.running) return;  // a Poll that waits on the window's messages
  ring.running = 1;
  Walk(ring, [](PollRegistration* node) {
    if (node->cancelled)
      Free(node);
    else if (node->screen)
      node->screen->Poll(node->argument);
  });
  ring.running = 0;
  // A Poll cleared the ring: the nodes the walk had passed go now too.
  if (ring.clearedWhileRunning) {
    ring.clearedWhileRunning = 0;
    ClearDeferredActions(ring);
  }
}

void ClearDeferredActions(PollRing& ring) {
  if (ring.running) ring.clearedWhileRunning = 1;
  Walk(ring, [&ring](PollRegistration* node) {
    Cancel(node);
    if (!ring.running) Free(node);
  });
}
