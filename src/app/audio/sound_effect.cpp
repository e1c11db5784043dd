#include "app/audio/sound_effect.h"

#include <new>
#include <vector>

#include "app/app_object.h"
#include "app/audio/sound_system.h"
#include "app/audio/wave_reader.h"
#include "platform/clock.h"

using plat::kFail;
using plat::kOk;
using plat::Status;

namespace {

bool IsPlaying(const SoundEffect& voice) {
  return voice.buffer && (voice.buffer->GetStatus() & plat::kStatusPlaying) != 0;
}

void RecordLoop(SoundEffect& sound, bool loop) {
  sound.flags = loop ? (sound.flags | kSoundLastLooped) : (sound.flags & ~kSoundLastLooped);
}

// The voices one sound may sound with at once, itself included.
int32_t VoiceLimit() { return g_app.soundSimDef; }

}  // namespace

SoundEffect* LoadSoundEffect(SoundSystem& system, std::string_view path) {
  auto* sound = NewZeroed<SoundEffect>();
  if (!sound) return nullptr;
  WaveReader reader;
  if (system.device && WaveOpen(reader, path) >= 0) {
    const plat::WaveFormat format = DecodeWaveFormat(reader.format);
    const uint32_t size = reader.data.size;
    std::vector<uint8_t> block;
    bool read = false;
    try {
      block.resize(size);
      read = WaveRead(reader, block.data(), size) == size;
    } catch (const std::bad_alloc&) {
      read = false;
    }
    if (read) system.device->CreateSoundBuffer(format, block.data(), size, &sound->buffer);
  }
  sound->fileName.assign(path);
  return sound;
}

bool SoundReadyToPlay(SoundSystem& system, SoundEffect& sound) {
  if (!sound.buffer || system.muted) return false;
  const uint32_t now = plat::TickCount();
  if (now < sound.lastPlayTick) sound.lastPlayTick = 0;  // the tick wrapped
  const int32_t overlap = g_app.soundMinOverlap > 0 ? g_app.soundMinOverlap : 0;
  if (static_cast<uint64_t>(now) < static_cast<uint64_t>(sound.lastPlayTick) + static_cast<uint64_t>(overlap))
    return false;
  sound.lastPlayTick = now;
  return true;
}

Status PlaySoundEffect(SoundSystem& system, SoundEffect& sound, int32_t loop) {
  if (!SoundReadyToPlay(system, sound)) return kFail;
  sound.buffer->SetCurrentPosition(0);
  RecordLoop(sound, loop != 0);
  return sound.buffer->Play(loop ? plat::kPlayLooping : 0);
}

Status PlaySoundOverlapped(SoundSystem& system, SoundEffect& sound, uint32_t playFlags) {
  if (!SoundReadyToPlay(system, sound)) return kFail;
  if (!IsPlaying(sound)) {
    RecordLoop(sound, (playFlags & plat::kPlayLooping) != 0);
    return sound.buffer->Play(playFlags);
  }
  for (ListNode* node = sound.next(); node && node != &sound; node = node->next()) {
    auto* voice = static_cast<SoundEffect*>(node);
    if (voice->buffer && !IsPlaying(*voice)) return voice->buffer->Play(playFlags);
  }
  if (sound.voiceCount + 1 < VoiceLimit()) {
    auto* voice = NewZeroed<SoundEffect>();
    if (!voice) return kFail;
    if (!system.device || system.device->DuplicateSoundBuffer(*sound.buffer, &voice->buffer) < 0) {
      SoundEffectDestroy(voice);
      return kFail;
    }
    sound.Append(voice);
    ++sound.voiceCount;
    voice->buffer->SetCurrentPosition(0);
    return voice->buffer->Play(playFlags);
  }
  sound.buffer->SetCurrentPosition(0);
  return sound.buffer->Play(playFlags);
}

Status StopSoundEffect(SoundEffect& sound) {
  if (!sound.buffer) return kFail;
  sound.buffer->Stop();
  sound.buffer->SetCurrentPosition(0);
  for (ListNode* node = sound.next(); node && node != &sound; node = node->next()) {
    auto* voice = static_cast<SoundEffect*>(node);
    if (!voice->buffer) continue;
    voice->buffer->Stop();
    voice->buffer->SetCurrentPosition(0);
  }
  return kOk;
}

void SoundEffectDestroy(SoundEffect* sound) {
  while (sound) {
    auto* following = static_cast<SoundEffect*>(sound->Unlink());
    DeleteZeroed(sound);
    sound = following;
  }
}
