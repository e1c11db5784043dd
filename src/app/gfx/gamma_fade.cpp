#include "app/gfx/gamma_fade.h"

#include "app/app_object.h"
#include "app/gfx/renderer.h"
#include "app/message_pump.h"

namespace {

// One step: every entry of the base ramp lowered by the level (not below 0).
void ApplyLevel(Renderer& renderer, uint32_t level) {
  plat::GammaRamp ramp;
  const plat::GammaRamp& base = *renderer.baseRamp;
  for (int i = 0; i < 256; ++i) {
    ramp.red[i] = static_cast<uint16_t>(base.red[i] < level ? 0 : base.red[i] - level);
    ramp.green[i] = static_cast<uint16_t>(base.green[i] < level ? 0 : base.green[i] - level);
    ramp.blue[i] = static_cast<uint16_t>(base.blue[i] < level ? 0 : base.blue[i] - level);
  }
  renderer.device->SetGammaRamp(0, ramp);
}

bool CanFade(const Renderer& renderer) {
  return renderer.device && renderer.baseRamp && (renderer.caps.caps2 & plat::kCaps2FullscreenGamma) != 0;
}

// Applies the level, waits, and says whether the fade goes on.
bool Step(Renderer& renderer, uint32_t level, int32_t pump) {
  ApplyLevel(renderer, level);
  PumpMessages(g_platform, GammaFadeWaitMs(level), pump);
  return !g_platform.skip;
}

}  // namespace

uint32_t GammaFadeWaitMs(uint32_t level) {
  if (level <= 0x8000) return 15;
  if (level <= 0xA000) return 7;
  return 1;
}

plat::Status GammaFadeIn(Renderer& renderer, int32_t pump) {
  if (!CanFade(renderer)) return plat::kFail;
  for (int32_t level = 0xFF00; level >= 0; level -= static_cast<int32_t>(kGammaFadeStep))
    if (!Step(renderer, static_cast<uint32_t>(level), pump)) break;
  return plat::kOk;
}

plat::Status GammaFadeOut(Renderer& renderer, int32_t pump) {
  if (!CanFade(renderer)) return plat::kFail;
  for (uint32_t level = 0; level < 0x10000; level += kGammaFadeStep)
    if (!Step(renderer, level, pump)) break;
  return plat::kOk;
}
