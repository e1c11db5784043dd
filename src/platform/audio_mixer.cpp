#include <SDL.h>
#include <SDL_mixer.h>

#include <cmath>
#include <memory>
#include <mutex>

#include "platform/audio_device.h"
#include "platform/audio_mixer_internal.h"
#include "platform/clock.h"

namespace plat {

double GainFromAttenuation(int32_t hundredthsDb) {
  if (hundredthsDb <= kVolumeSilent) return 0.0;
  if (hundredthsDb >= kVolumeFull) return 1.0;
  return std::pow(10.0, static_cast<double>(hundredthsDb) / 2000.0);
}

int MixerVolumeFromAttenuation(int32_t hundredthsDb) {
  const double steps = GainFromAttenuation(hundredthsDb) * MIX_MAX_VOLUME;
  int volume = static_cast<int>(std::floor(steps + 0.5));
  if (volume < 0) volume = 0;
  if (volume > MIX_MAX_VOLUME) volume = MIX_MAX_VOLUME;
  return volume;
}

namespace {

// Never destroyed: sounds held by static objects may close the mixer while
// the program's statics are being torn down.
std::mutex& HookMutex() {
  static auto* m = new std::mutex;
  return *m;
}
std::shared_ptr<const AudioHook>& Hook() {
  static auto* h = new std::shared_ptr<const AudioHook>;
  return *h;
}
std::mutex& MixerMutex() {
  static auto* m = new std::mutex;
  return *m;
}
int g_mixerUsers = 0;

}  // namespace

void SetAudioHook(AudioHook hook) {
  std::lock_guard<std::mutex> guard(HookMutex());
  Hook() = hook ? std::make_shared<const AudioHook>(std::move(hook)) : nullptr;
}

namespace audio_internal {

void Emit(AudioEventKind kind, int32_t value, uint64_t id) {
  std::shared_ptr<const AudioHook> hook;
  {
    std::lock_guard<std::mutex> guard(HookMutex());
    hook = Hook();
  }
  if (hook) (*hook)(AudioEvent{kind, value, id, TickCount()});
}

bool AcquireMixer() {
  std::lock_guard<std::mutex> guard(MixerMutex());
  if (g_mixerUsers > 0) {
    ++g_mixerUsers;
    return true;
  }
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  // Decoders load on first use as well; asking here only makes it early.
  Mix_Init(MIX_INIT_MP3);
  // No changes allowed: the mixer converts to this one format, which is the
  // one every sound buffer is converted to when it is made.
  if (Mix_OpenAudioDevice(kOutputRate, AUDIO_S16SYS, kOutputChannels, 1024, nullptr, 0) != 0) {
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  g_mixerUsers = 1;
  return true;
}

void ReleaseMixer() {
  std::lock_guard<std::mutex> guard(MixerMutex());
  if (g_mixerUsers <= 0) return;
  if (--g_mixerUsers > 0) return;
  Mix_HaltChannel(-1);
  Mix_HaltMusic();
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace audio_internal
}  // namespace plat
