#include "app/audio/sound_system.h"

#include <cstdio>

#include "platform/status.h"

SoundSystem g_sound;

namespace {

void DestroySlots(SoundSystem& sound) {
  for (SoundEffect*& slot : sound.militarySlots) {
    SoundEffectDestroy(slot);
    slot = nullptr;
  }
  for (SoundEffect*& slot : sound.uiSlots) {
    SoundEffectDestroy(slot);
    slot = nullptr;
  }
}

// The slot's sound, loading it from the numbered file on first use.
SoundEffect* SlotSound(SoundSystem& sound, SoundEffect*& slot, const char* pattern, int32_t n) {
  if (!slot) {
    char path[64];
    std::snprintf(path, sizeof path, pattern, n);
    slot = LoadSoundEffect(sound, path);
  }
  return slot;
}

}  // namespace

SoundSystem::~SoundSystem() {
  // Sounds hold buffers of the device: they go first.
  DestroySlots(*this);
  device.reset();
}

int32_t SoundInit(SoundSystem& sound, plat::Window* /*window*/) {
  std::lock_guard<std::mutex> guard(sound.lock);
  if (!sound.device) sound.device = plat::AudioDevice::Open();
  if (!sound.device) return plat::kFail;
  sound.primaryVolume = sound.device->GetVolume();
  sound.device->SetVolume(plat::kVolumeFull);
  return plat::kOk;
}

void SoundRelease(SoundSystem& sound) {
  std::lock_guard<std::mutex> guard(sound.lock);
  // A restarted program opens a new device; sounds of the old one would be
  // silent for the rest of the run, so they go with it and load again.
  DestroySlots(sound);
  sound.device.reset();
}

int32_t SetSoundVolume(SoundSystem& sound, int32_t muted, int32_t level) {
  std::lock_guard<std::mutex> guard(sound.lock);
  sound.muted = static_cast<uint32_t>(muted);
  if (level >= 0 && level <= kSoundLevelMax) sound.attenuation = level / 10 - 1000;
  int32_t result = sound.device ? sound.device->SetVolume(muted ? plat::kVolumeSilent : sound.attenuation)
                                : plat::kFail;
  if (muted) {
    for (SoundEffect* s : sound.militarySlots)
      if (s) result = StopSoundEffect(*s);
    for (SoundEffect* s : sound.uiSlots)
      if (s) result = StopSoundEffect(*s);
  }
  return result;
}

void PlayUiSound(SoundSystem& sound, int32_t n) {
  if (n < 1 || n >= kUiSoundSlots) return;
  std::lock_guard<std::mutex> guard(sound.lock);
  if (sound.muted) return;
  if (SoundEffect* s = SlotSound(sound, sound.uiSlots[n], "SOUNDS\\UI\\%03d.WAV", n)) PlaySoundEffect(sound, *s, 0);
}

void PlayMilitarySound(SoundSystem& sound, int32_t n) {
  if (n < 1 || n >= kMilitarySoundSlots) return;
  std::lock_guard<std::mutex> guard(sound.lock);
  if (sound.muted) return;
  if (SoundEffect* s = SlotSound(sound, sound.militarySlots[n], "SOUNDS\\Military\\%03d.WAV", n))
    PlaySoundOverlapped(sound, *s, 0);
}

int32_t SetSoundVolume(int32_t muted, int32_t level, ScreenManager&) { return SetSoundVolume(g_sound, muted, level); }

void PlayUiSound(int32_t n, ScreenManager&) { PlayUiSound(g_sound, n); }

void PlayMilitarySound(int32_t n, ScreenManager&) { PlayMilitarySound(g_sound, n); }
