#pragma once
// The music player: one stream for the whole run that plays one track at a
// time from "SOUNDS\". Choosing, starting, stopping and looping tracks are
// the callers' business; the game may ship no music at all, and then every
// call here quietly plays nothing. Main thread only.
#include <cstdint>
#include <memory>

#include "platform/music_stream.h"

struct MusicPlayer {
  MusicPlayer() = default;
  ~MusicPlayer();
  MusicPlayer(const MusicPlayer&) = delete;
  MusicPlayer& operator=(const MusicPlayer&) = delete;

  std::unique_ptr<plat::MusicStream> stream;  // null when music is not running
  char path[260] = {};                        // "SOUNDS\" + the last track asked for
};

extern MusicPlayer g_music;

// The fade-out: kMusicFadeSteps volume steps kMusicFadeStepMs apart.
inline constexpr int kMusicFadeSteps = 40;
inline constexpr uint32_t kMusicFadeStepMs = 30;

// Starts the player; 0, or the generic failure when there is no audio output
// (the player is then released and stays silent).
int32_t MusicInit(MusicPlayer& player);
void MusicRelease(MusicPlayer& player);
// Selects the track "SOUNDS\" + name, stopped at its start; it does not
// play it. The generic failure when the file does not exist (the current
// track stays); 0 otherwise, also without a player and when the file cannot
// be decoded (the current track stays then too).
int32_t LoadMusic(MusicPlayer& player, const char* name);
// Plays the current track from where it stands; without one nothing plays.
int32_t RunMusic(MusicPlayer& player);
void StopMusic(MusicPlayer& player);
// Lowers the music's volume in kMusicFadeSteps steps from -0.25 dB to almost
// -10 dB, waiting kMusicFadeStepMs before each (also without a player). The
// music goes on at the lowered volume; callers stop or change it.
void FadeOutMusic(MusicPlayer& player);
