#pragma once
// Music: one stream that plays one track (MP3, or whatever else the mixer
// decodes) at a time. Loading a track replaces the previous one, stopped and
// rewound; running and stopping are the caller's. The volume is in
// hundredths of a decibel (0 full, -10000 silent) and survives track changes.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/status.h"

namespace plat {

class MusicStream {
 public:
  // Null when there is no audio output, or while another stream exists.
  static std::unique_ptr<MusicStream> Create();
  ~MusicStream();
  MusicStream(const MusicStream&) = delete;
  MusicStream& operator=(const MusicStream&) = delete;

  // Replaces the track with the file (a real path, not a game path), stops
  // and rewinds. kFail when the file cannot be decoded: the old track stays.
  Status Load(const std::string& path);
  // Plays the track from where it stands (the start after Load or Rewind, or
  // where Stop left it; the start again once it has played to its end).
  // Without a track nothing plays and it is no error.
  Status Run();
  // Stops and keeps the position.
  Status Stop();
  Status Rewind();
  Status SetVolume(int32_t hundredthsDb);
  int32_t Volume() const { return volume_; }
  bool HasTrack() const { return music_ != nullptr; }
  bool Running() const;

 private:
  MusicStream() = default;
  void* music_ = nullptr;  // the current track
  bool paused_ = false;    // stopped part-way by Stop
  int32_t volume_ = 0;
};

// Tracks loaded and not yet freed, by every stream together.
int LiveMusicTracks();

}  // namespace plat
