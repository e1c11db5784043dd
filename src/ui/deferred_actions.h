#pragma once
// Screens that want periodic work while they are up register for polling:
// every window timer tick (and every notification from another thread) runs
// each registered screen's Poll with its argument. A screen holds at most
// one registration; registering again replaces it. Window thread only.
#include <cstdint>

#include "app/list_node.h"

class Screen;

// One registration in the ring. A cancelled node stays linked until the
// next run frees it, so a walk that has read its link is never left
// holding a freed node.
class PollRegistration : public ListNode {
 public:
  Screen* screen = nullptr;  // null once cancelled
  intptr_t argument = 0;     // handed to Poll
  int32_t cancelled = 0;
};

// The ring's sentinel head, held by the screen set, which registers it in
// the toolkit's hook table (ui/ui_screen_hooks.h). While a run walks the
// ring, a clear only cancels.
struct PollRing {
  PollRegistration head;
  int32_t running = 0;
  int32_t clearedWhileRunning = 0;
};

// Registers the screen with the argument, cancelling its old registration.
// Nothing is registered when no node can be made or no ring is registered.
void QueueDeferredUiAction(Screen* screen, intptr_t argument);
// Cancels the screen's registration, if it has one; its node goes at the
// next run.
void CancelDeferredUiAction(Screen* screen);
// Polls every live registration from first to last and frees the cancelled
// ones. A node appended during the run is reached in the same pass unless
// the node being run was the last one.
void RunDeferredActions(PollRing& ring);
// Forgets every registration. Called from a Poll, it only cancels them and
// the run under way frees them.
void ClearDeferredActions(PollRing& ring);
