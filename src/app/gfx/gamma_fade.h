#pragma once
// The fades of the start-up screens: the gamma ramp stepped from black to the
// base ramp or back, with a wait after each step (pumping window messages
// when asked) that a key or click cuts short.
#include <cstdint>

#include "platform/status.h"

struct Renderer;

inline constexpr int kGammaFadeSteps = 128;
inline constexpr uint32_t kGammaFadeStep = 0x200;

// 0, or kFail when there is no base ramp or the device cannot set one.
plat::Status GammaFadeIn(Renderer& renderer, int32_t pump);
plat::Status GammaFadeOut(Renderer& renderer, int32_t pump);
// The wait after a step at the level: 15 ms up to 0x8000, 7 ms up to 0xA000,
// else 1 ms.
uint32_t GammaFadeWaitMs(uint32_t level);
