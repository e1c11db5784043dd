#include "app/audio/music_player.h"

#include <cstdio>

#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/status.h"

MusicPlayer g_music;

MusicPlayer::~MusicPlayer() { MusicRelease(*this); }

int32_t MusicInit(MusicPlayer& player) {
  if (!player.stream) player.stream = plat::MusicStream::Create();
  if (!player.stream) {
    MusicRelease(player);
    return plat::kFail;
  }
  return plat::kOk;
}

void MusicRelease(MusicPlayer& player) {
  if (player.stream) player.stream->Stop();
  player.stream.reset();
}

int32_t LoadMusic(MusicPlayer& player, const char* name) {
  if (!player.stream) return plat::kOk;
  std::snprintf(player.path, sizeof player.path, "SOUNDS\\%s", name ? name : "");
  const auto real = plat::ResolveGamePath(player.path);
  if (!real) return plat::kFail;
  // A file the decoder refuses leaves the current track as it was.
  player.stream->Load(*real);
  return plat::kOk;
}

int32_t RunMusic(MusicPlayer& player) { return player.stream ? player.stream->Run() : plat::kOk; }

void StopMusic(MusicPlayer& player) {
  if (player.stream) player.stream->Stop();
}

void FadeOutMusic(MusicPlayer& player) {
  // 0.025 added up in single precision stays below 1.0 for exactly 40
  // steps, from -25 to -999, in either rounding mode.
  float fraction = 0.025f;
  while (fraction < 1.0f) {
    const uint32_t start = plat::TickCount();
    while (plat::TickCount() - start < kMusicFadeStepMs) plat::SleepMs(1);
    if (player.stream) player.stream->SetVolume(static_cast<int32_t>(fraction * -1000.0f));
    fraction += 0.025f;
  }
}
