#pragma once
// Work that screens ask to run later, on the main thread, before the next
// redraw of the window timer or of a notification from another thread.
#include <functional>
#include <vector>

struct DeferredAction {
  std::function<void()> run;
  bool cancelled = false;
};

struct DeferredActions {
  std::vector<DeferredAction> queue;
};

struct ScreenSet;

void QueueDeferredUiAction(ScreenSet& screens, std::function<void()> action);
// Runs the queued actions in order (dropping cancelled ones); actions queued
// while running wait for the next call.
void RunDeferredActions(ScreenSet& screens);
void ClearDeferredActions(ScreenSet& screens);
