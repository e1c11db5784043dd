#include "app/audio/music_player.h"

#include "platform/status.h"

MusicPlayer g_music;

// Music is optional: without a player the game runs silent.
int32_t MusicInit(MusicPlayer& player) {
  player.ready = 0;
  return plat::kFail;
}

void MusicRelease(MusicPlayer& player) {
  player.ready = 0;
  player.playing = 0;
}

void StopMusic(MusicPlayer& player) { player.playing = 0; }
