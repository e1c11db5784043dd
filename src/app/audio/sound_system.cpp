#include "app/audio/sound_system.h"

#include "platform/status.h"

SoundSystem g_sound;

// The mixer-backed device arrives with the sound effects; until then start-up
// runs as on a machine without sound.
int32_t SoundInit(SoundSystem& sound, plat::Window*) {
  sound.ready = 0;
  return plat::kFail;
}

void SoundRelease(SoundSystem& sound) { sound.ready = 0; }

int32_t SetSoundVolume(int32_t muted, int32_t level, ScreenManager&) {
  g_sound.muted = muted;
  g_sound.level = level;
  return 0;
}
