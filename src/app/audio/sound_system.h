#pragma once
// Sound effects: the sound device and its volume.
#include <cstdint>

#include "platform/window.h"

struct ScreenManager;

struct SoundSystem {
  int32_t ready = 0;
  int32_t muted = 0;
  int32_t level = 0;
};

extern SoundSystem g_sound;

// 0, or the generic failure when there is no sound device.
int32_t SoundInit(SoundSystem& sound, plat::Window* window);
void SoundRelease(SoundSystem& sound);
int32_t SetSoundVolume(int32_t muted, int32_t level, ScreenManager& ui);
