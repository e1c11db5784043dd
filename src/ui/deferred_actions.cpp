#include "ui/deferred_actions.h"

#include <utility>

#include "ui/screen_set.h"

void QueueDeferredUiAction(ScreenSet& screens, std::function<void()> action) {
  screens.deferred.queue.push_back({std::move(action), false});
}

void RunDeferredActions(ScreenSet& screens) {
  std::vector<DeferredAction> due;
  due.swap(screens.deferred.queue);
  for (auto& a : due)
    if (!a.cancelled && a.run) a.run();
}

void ClearDeferredActions(ScreenSet& screens) { screens.deferred.queue.clear(); }
