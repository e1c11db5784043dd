#pragma once
// Sound effects: the sound device, the numbered interface and military
// sounds, and the one volume and mute flag that apply to all of them.
//
// Interface sounds ("SOUNDS\UI\%03d.WAV", 1 to 31) play on the main thread;
// military sounds ("SOUNDS\Military\%03d.WAV", 1 to 127) are played by the
// unit and combat steps on the turn thread, while muting stops every sound
// from the main thread. The slots and their sounds are guarded by the
// system's lock, a leaf lock: nothing else is taken while it is held.
#include <cstdint>
#include <memory>
#include <mutex>

#include "app/audio/sound_effect.h"
#include "platform/audio_device.h"
#include "platform/window.h"

struct ScreenManager;

inline constexpr int kMilitarySoundSlots = 128;  // slot n holds military sound n; 0 stays empty
inline constexpr int kUiSoundSlots = 32;         // slot n holds interface sound n; 0 stays empty
// Sound-effect levels run from 0 (-10 dB) to 10000 (full volume).
inline constexpr int32_t kSoundLevelMax = 10000;

struct SoundSystem {
  SoundSystem() = default;
  ~SoundSystem();
  SoundSystem(const SoundSystem&) = delete;
  SoundSystem& operator=(const SoundSystem&) = delete;

  std::unique_ptr<plat::AudioDevice> device;  // null without sound
  int32_t primaryVolume = 0;  // the device's volume when it was opened
  int32_t attenuation = 0;    // hundredths of a decibel, 0 (full) to -1000
  uint32_t muted = 0;         // while set no sound plays
  // The numbered sounds, loaded on first use and kept for the run.
  SoundEffect* militarySlots[kMilitarySoundSlots] = {};
  SoundEffect* uiSlots[kUiSoundSlots] = {};
  std::mutex lock;
};

extern SoundSystem g_sound;

// Opens the sound device; 0, or the generic failure when there is none. The
// window is where the sound belongs; the output here is the machine's.
int32_t SoundInit(SoundSystem& sound, plat::Window* window);
// Destroys every loaded sound and closes the device.
void SoundRelease(SoundSystem& sound);

// Sets the mute flag and, for a level of 0 to 10000, the attenuation
// (level / 10 - 1000); other levels keep the attenuation. The device plays at
// the attenuation, or silent while muted; muting stops every loaded sound.
// Returns the device's answer, or that of the last sound stopped; the generic
// failure without a device.
int32_t SetSoundVolume(SoundSystem& sound, int32_t muted, int32_t level);
// Plays interface sound n (1 to 31) from its start, loading it on first use.
// Nothing happens while muted or for other numbers.
void PlayUiSound(SoundSystem& sound, int32_t n);
// Plays military sound n (1 to 127) over its own earlier plays, loading it
// on first use. Nothing happens while muted or for other numbers. Any thread.
void PlayMilitarySound(SoundSystem& sound, int32_t n);

// The same on the game's one sound system, for the interface root's callers.
int32_t SetSoundVolume(int32_t muted, int32_t level, ScreenManager& ui);
void PlayUiSound(int32_t n, ScreenManager& ui);
void PlayMilitarySound(int32_t n, ScreenManager& ui);
