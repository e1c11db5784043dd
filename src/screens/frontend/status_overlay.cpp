#include "screens/frontend/status_overlay.h"

#include <algorithm>
#include <atomic>

#include "screens/common/frame/main_layout.h"
#include "sim/simulation_lock.h"
#include "sim/status_queue.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/scroller.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

// The scroller's end: the newest line stays in view.
constexpr int32_t kScrollEnd = 10000;

void FreeItem(StatusQueue& queue, StatusQueueItem* item) {
  item->Unlink();
  DeleteZeroed(item);
  if (queue.count > 0) --queue.count;
}

}  // namespace

void StatusMapOverlay::BindControls() {
  LayoutStatusOverlay();
  Control* f = currentForm ? currentForm : form;
  if (!f) return;
  f->flags |= kCtlClickThrough;
  list = MakeListBox("STATLIST", 0, f, 0, this);
  StyleOverlayList(list, g_uiOptions.fontstatuscol, g_uiOptions.fontstatus, kAlignRight);
}

std::vector<std::string> CollectStatusLines(World& world, uint32_t now, uint32_t& lastReveal) {
  std::vector<std::string> rows;
  const uint32_t showTime = static_cast<uint32_t>(std::max(g_uiOptions.chatshowtime, 0));
  // The option page can store 0 lines: one line at a time then.
  const uint32_t interval = showTime / static_cast<uint32_t>(std::max(g_uiOptions.statshowlines, 1));
  const int64_t history = std::max(g_uiOptions.statlinehistory, 0);
  // The turn thread moves the tick on outside the lock.
  const uint32_t minuteNow = std::atomic_ref<uint32_t>(world.gameState.currentTick).load(std::memory_order_relaxed);
  StatusQueue& queue = StatusQueueOf(world);
  WorldLockGuard hold(world, kLockLocalNews);
  StatusQueueItem* firstWaiting = nullptr;
  StatusQueueItem* winner = nullptr;
  int64_t expired = 0;
  ListNode* node = queue.head.next();
  while (node && node != &queue.head) {
    ListNode* next = node->next();
    auto* item = static_cast<StatusQueueItem*>(node);
    if (item->shown == 0) {
      // A tick ahead of the clock (a loaded game) is not old.
      if (minuteNow > item->tick && minuteNow - item->tick > kStatusLineMaxWait) {
        FreeItem(queue, item);
      } else {
        if (!firstWaiting) firstWaiting = item;
        if (!winner || item->priority > winner->priority) winner = item;
      }
    } else if (item->shown <= now && now - item->shown < showTime) {
      rows.emplace_back(item->text ? item->text : "");
    } else if (++expired > history + 1) {
      FreeItem(queue, item);
    }
    node = next;
  }
  if (winner && winner != firstWaiting) firstWaiting->Append(winner);
  if (winner && (now > lastReveal + interval || now < lastReveal)) {
    winner->shown = now;
    lastReveal = now;
    rows.emplace_back(winner->text ? winner->text : "");
  }
  return rows;
}

namespace {

// The texts of the list's rows, top to bottom.
std::vector<std::string> ShownStatusLines(ListBoxControl& list) {
  std::vector<std::string> rows;
  for (Control* r = ListNextRow(&list, nullptr); r; r = ListNextRow(&list, r)) {
    const auto* text = dynamic_cast<const StringControl*>(r);
    rows.emplace_back(text ? text->text : std::string());
  }
  return rows;
}

// Adds the lines to the overlay's list, at its bottom; the rows shown.
int32_t PutStatusLines(StatusMapOverlay& overlay, const std::vector<std::string>& rows) {
  ListBoxControl* list = overlay.list;
  if (!list || rows.empty()) return static_cast<int32_t>(rows.size());
  int32_t rowId = 0;
  for (const std::string& text : rows) ListAddTextItem(list, text.c_str(), ++rowId, 0, 0, 0, 0);
  // Fewer lines than places stand at the bottom, next to the dock; the
  // rows are laid out for the height that leaves, or the lines of the last
  // look would decide which of them show.
  const int32_t missing = std::max(g_uiOptions.statshowlines - rowId, 0);
  const int32_t rowHeight = list->prototype ? Height(list->prototype.get()) : list->rowStep;
  const int32_t bottom = list->rect.bottom;
  list->rect.top = std::min(rowHeight * missing, bottom);
  ListLayoutRows(list);
  if (list->scroller) ScrollerSetPosition(list->scroller, kScrollEnd);
  return rowId;
}

}  // namespace

int32_t FillStatusLines(StatusMapOverlay& overlay, uint32_t now) {
  plat::CriticalSectionLock lock(g_simulationLock);
  return PutStatusLines(overlay, CollectStatusLines(g_world, now, overlay.lastReveal));
}

void StatusMapOverlay::Refresh() {
  // The timer asks four times a second: the same lines as before leave the
  // list, and the map under it, as they are.
  plat::CriticalSectionLock lock(g_simulationLock);
  const std::vector<std::string> rows = CollectStatusLines(g_world, g_ui.nowTick.load(), lastReveal);
  if (!list || rows == ShownStatusLines(*list)) return;
  ListClear(list, 0);
  PutStatusLines(*this, rows);
}
