#pragma once
// One sound effect: a WAV file read once into a sound buffer. When it is
// asked for again while it still plays, further voices are made as
// duplicates of the first; the first sound heads the ring of its voices.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "app/list_node.h"
#include "platform/audio_device.h"
#include "platform/status.h"

struct SoundSystem;

// SoundEffect::flags.
inline constexpr uint32_t kSoundLastLooped = 0x1;

class SoundEffect : public ListNode {
 public:
  std::unique_ptr<plat::SoundBuffer> buffer;  // null when the file failed to load
  uint32_t flags = 0;
  int32_t voiceCount = 0;     // duplicate voices made so far
  uint32_t lastPlayTick = 0;  // TickCount of the last play let through
  std::string fileName;
};

// A new sound holding the game path; its buffer stays null when there is no
// sound device or the file cannot be read or played. Null only when memory
// runs out.
SoundEffect* LoadSoundEffect(SoundSystem& system, std::string_view path);

// Whether a play may go ahead: not without a buffer, not while muted, and not
// within the SoundMinOverlap setting's milliseconds of the last play that went
// ahead (a refused request does not move that time).
bool SoundReadyToPlay(SoundSystem& system, SoundEffect& sound);

// Plays the sound from its start (kFail when not ready).
plat::Status PlaySoundEffect(SoundSystem& system, SoundEffect& sound, int32_t loop);
// Plays the sound without cutting itself off: the first voice that is not
// playing plays; when all play, a new voice is made while the sound has fewer
// than the SoundSimDef setting's voices, else the first voice starts again.
// kFail when not ready or a new voice cannot be made.
plat::Status PlaySoundOverlapped(SoundSystem& system, SoundEffect& sound, uint32_t playFlags);
// Stops and rewinds the sound and every voice of its ring; kFail without a buffer.
plat::Status StopSoundEffect(SoundEffect& sound);
// Destroys the sound and every voice of its ring.
void SoundEffectDestroy(SoundEffect* sound);
