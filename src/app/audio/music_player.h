#pragma once
// The music player.
#include <cstdint>

struct MusicPlayer {
  int32_t ready = 0;
  int32_t playing = 0;
};

extern MusicPlayer g_music;

int32_t MusicInit(MusicPlayer& player);
void MusicRelease(MusicPlayer& player);
void StopMusic(MusicPlayer& player);
