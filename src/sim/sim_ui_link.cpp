#include "sim/sim_ui_link.h"

#include "net/net_session.h"
#include "platform/clock.h"

SimUiLink g_simUi;
ScreenManager* g_simUiRoot = nullptr;
std::atomic<uint32_t> g_screenFlashStart{0};
std::atomic<uint32_t> g_screenFlashStrength{0};

namespace {
bool ShowsGame() { return SimUiMode() == kSimUiInGame; }
// The game's session sends a chat line by region only while a game is
// shown, to everybody in the lobby; its game is plain pointers, set before
// any constructor runs.
[[maybe_unused]] const bool g_sessionAsksMode = (g_netSessionGame.inGame = ShowsGame, true);
}  // namespace

void SetScreenFlash(uint32_t strength) {
  // The start first: a reader that sees the new strength also sees its start.
  g_screenFlashStart.store(plat::TickCount(), std::memory_order_relaxed);
  g_screenFlashStrength.store(strength, std::memory_order_release);
}

void PostTurnEvent(uint32_t code) {
  // A test's harness may swap the hook while the clock runs.
  if (const auto post = std::atomic_ref(g_simUi.postTurnEvent).load(std::memory_order_acquire)) post(code);
}

int32_t SimUiMode() { return g_simUi.uiMode ? g_simUi.uiMode() : kSimUiInGame; }

void NotifyUnitsChanged() {
  if (g_simUi.unitsChanged) g_simUi.unitsChanged();
}

void AddMapEffect(uint32_t position, int32_t view, int32_t offsetX, int32_t offsetY, int32_t firstFrame,
                  int32_t frames, int32_t frameMs, uint32_t colour, float scale) {
  if (g_simUi.addMapEffect)
    g_simUi.addMapEffect(position, view, offsetX, offsetY, firstFrame, frames, frameMs, colour, scale);
}

void PlayMilitarySound(int32_t number) {
  if (g_simUi.playMilitarySound) g_simUi.playMilitarySound(number);
}

bool HexInVisibleRange(uint32_t position) {
  int16_t range[4] = {};
  if (!g_simUi.visibleHexRange || !g_simUi.visibleHexRange(range)) return false;
  const auto x = static_cast<int16_t>(position & 0xFFFFu);
  const auto y = static_cast<int16_t>(position >> 16);
  return x >= range[0] && y >= range[1] && x <= range[2] && y <= range[3];
}

void NotifyUnitFired(uint32_t hex, int32_t pixelX, int32_t pixelY, int sound) {
  if (g_simUi.unitFired) g_simUi.unitFired(hex, pixelX, pixelY, sound);
}

void NotifyUnitDestroyedByFire(uint32_t hex, int32_t pixelX, int32_t pixelY, int sound) {
  if (g_simUi.unitDestroyedByFire) g_simUi.unitDestroyedByFire(hex, pixelX, pixelY, sound);
}
