#include "platform/music_stream.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <atomic>

#include "platform/audio_device.h"
#include "platform/audio_mixer_internal.h"

namespace plat {

using audio_internal::Emit;

namespace {

std::atomic<int> g_liveTracks{0};
// The mixer plays one music stream; a second would fight the first for it.
std::atomic<bool> g_streamExists{false};

void FreeTrack(void* music) {
  if (!music) return;
  Mix_FreeMusic(static_cast<Mix_Music*>(music));
  g_liveTracks.fetch_sub(1);
}

}  // namespace

int LiveMusicTracks() { return g_liveTracks.load(); }

std::unique_ptr<MusicStream> MusicStream::Create() {
  if (g_streamExists.exchange(true)) return nullptr;
  if (!audio_internal::AcquireMixer()) {
    g_streamExists.store(false);
    return nullptr;
  }
  std::unique_ptr<MusicStream> stream(new MusicStream());
  Mix_VolumeMusic(MIX_MAX_VOLUME);
  return stream;
}

MusicStream::~MusicStream() {
  Mix_HaltMusic();
  FreeTrack(music_);
  music_ = nullptr;
  audio_internal::ReleaseMixer();
  g_streamExists.store(false);
}

Status MusicStream::Load(const std::string& path) {
  Mix_Music* fresh = Mix_LoadMUS(path.c_str());
  if (!fresh) return kFail;
  g_liveTracks.fetch_add(1);
  Mix_HaltMusic();
  FreeTrack(music_);
  music_ = fresh;
  paused_ = false;
  Emit(AudioEventKind::kMusicLoad);
  return kOk;
}

Status MusicStream::Run() {
  if (!music_) return kOk;
  if (paused_) {
    Mix_ResumeMusic();
    paused_ = false;
  } else if (!Running()) {
    if (Mix_PlayMusic(static_cast<Mix_Music*>(music_), 0) != 0) return kFail;
  }
  Emit(AudioEventKind::kMusicRun);
  return kOk;
}

Status MusicStream::Stop() {
  if (music_ && Running()) {
    Mix_PauseMusic();
    paused_ = true;
  }
  Emit(AudioEventKind::kMusicStop);
  return kOk;
}

Status MusicStream::Rewind() {
  // Halting forgets the position: the next Run starts the track afresh.
  Mix_HaltMusic();
  paused_ = false;
  Emit(AudioEventKind::kMusicRewind);
  return kOk;
}

Status MusicStream::SetVolume(int32_t hundredthsDb) {
  if (hundredthsDb < kVolumeSilent || hundredthsDb > kVolumeFull) return kInvalidArg;
  volume_ = hundredthsDb;
  Mix_VolumeMusic(MixerVolumeFromAttenuation(hundredthsDb));
  Emit(AudioEventKind::kMusicVolume, hundredthsDb);
  return kOk;
}

bool MusicStream::Running() const {
  return music_ != nullptr && !paused_ && Mix_PlayingMusic() != 0 && Mix_PausedMusic() == 0;
}

}  // namespace plat
