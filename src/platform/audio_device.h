#pragma once
// The sound-effect device: one output whose volume applies to every effect,
// and static sound buffers that are filled once and played, stopped and
// rewound, with duplicates that share a buffer's sound but play on their own
// so one sound can overlap itself. Volumes are attenuations in hundredths of
// a decibel, 0 (full) down to -10000 (silence); the gain is 10^(att/2000).
//
// Every call may come from any thread. Music (music_stream.h) shares the
// same output but has its own volume.
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/status.h"

namespace plat {

inline constexpr int32_t kVolumeSilent = -10000;
inline constexpr int32_t kVolumeFull = 0;

// The gain of an attenuation: 10^(att/2000); 0 at or below kVolumeSilent.
double GainFromAttenuation(int32_t hundredthsDb);
// The mixer's volume step (0 to 128) nearest to that gain.
int MixerVolumeFromAttenuation(int32_t hundredthsDb);

// The format of a sound, as a WAV file's "fmt " chunk gives it.
inline constexpr uint16_t kWaveFormatPcm = 1;
inline constexpr uint16_t kWaveFormatFloat = 3;
struct WaveFormat {
  uint16_t formatTag = 0;
  uint16_t channels = 0;
  uint32_t samplesPerSec = 0;
  uint32_t avgBytesPerSec = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
};

// Play flags and status bits.
inline constexpr uint32_t kPlayLooping = 0x1;
inline constexpr uint32_t kStatusPlaying = 0x1;
inline constexpr uint32_t kStatusLooping = 0x4;

// The smallest sound a buffer holds, in bytes.
inline constexpr uint32_t kSoundBufferMinBytes = 4;

struct AudioCore;

// One voice of a sound. Its position is either the start, or where a Stop
// left it; a sound that plays to its end (not looping) stops there and its
// position goes back to the start.
class SoundBuffer {
 public:
  ~SoundBuffer();
  SoundBuffer(const SoundBuffer&) = delete;
  SoundBuffer& operator=(const SoundBuffer&) = delete;

  // Plays from the current position; kPlayLooping repeats it until stopped.
  // A playing buffer plays on, taking the new flags: a change of looping
  // starts it again from the start. kFail when the device is gone or the
  // output has no room for another voice.
  Status Play(uint32_t flags);
  // Stops and keeps the position.
  Status Stop();
  // Only the start (0) can be set; it rewinds the buffer, and a playing buffer
  // goes on playing from there. Other positions give kInvalidArg.
  Status SetCurrentPosition(uint32_t position);
  // kStatusPlaying (and kStatusLooping) while it sounds; 0 otherwise.
  uint32_t GetStatus();
  // The size given when the buffer was made.
  uint32_t Bytes() const { return bytes_; }
  // This voice's number in the events of SetAudioHook.
  uint64_t Serial() const { return serial_; }

 private:
  friend class AudioDevice;
  struct Samples;
  SoundBuffer(std::shared_ptr<AudioCore> core, std::shared_ptr<const Samples> samples, uint32_t bytes);
  bool PlayingLocked();

  std::shared_ptr<AudioCore> core_;
  std::shared_ptr<const Samples> samples_;
  uint32_t bytes_ = 0;
  uint64_t serial_ = 0;
  void* chunk_ = nullptr;  // the mixer's view of the samples for this voice
  int channel_ = -1;       // while playing or stopped part-way
  bool paused_ = false;
  bool looping_ = false;
};

class AudioDevice {
 public:
  // Opens the output; null when there is none (no audio driver, or a device
  // is already open).
  static std::unique_ptr<AudioDevice> Open();
  ~AudioDevice();
  AudioDevice(const AudioDevice&) = delete;
  AudioDevice& operator=(const AudioDevice&) = delete;

  // The volume of every sound effect together.
  int32_t GetVolume() const;
  // kInvalidArg outside kVolumeSilent to kVolumeFull.
  Status SetVolume(int32_t hundredthsDb);

  // A buffer holding `bytes` of sound in the given format, copied from data
  // (a partial sample frame at the end is dropped). kInvalidArg for a format
  // the output cannot play (PCM of 8, 16 or 32 bits or 32-bit float, 1 to 8
  // channels, a block of channels x bits / 8 bytes, a rate above 0), for
  // fewer than kSoundBufferMinBytes or less than one sample frame; kFail when
  // the device is gone or the sound cannot be converted.
  Status CreateSoundBuffer(const WaveFormat& format, const void* data, uint32_t bytes,
                           std::unique_ptr<SoundBuffer>* out);
  // A new voice of the same sound, at its start and stopped.
  Status DuplicateSoundBuffer(const SoundBuffer& original, std::unique_ptr<SoundBuffer>* out);

  // Voices the output can play at once right now (it grows on demand).
  int Channels() const;

 private:
  explicit AudioDevice(std::shared_ptr<AudioCore> core);
  std::shared_ptr<AudioCore> core_;
};

// What the audio layer did, for tests that watch it.
enum class AudioEventKind {
  kSoundPlay,      // value: 1 looping, 0 not; id: the voice's serial
  kSoundStop,      // id: the voice's serial
  kSoundRewind,    // id: the voice's serial
  kDeviceVolume,   // value: hundredths of a decibel
  kMusicLoad,      // a new source replaced the old one
  kMusicRun,
  kMusicStop,
  kMusicRewind,
  kMusicVolume,    // value: hundredths of a decibel
};
struct AudioEvent {
  AudioEventKind kind = AudioEventKind::kSoundPlay;
  int32_t value = 0;
  uint64_t id = 0;
  uint32_t tick = 0;  // TickCount() when it happened
};
using AudioHook = std::function<void(const AudioEvent&)>;
// Installs a hook that sees every event, on the thread that caused it; an
// empty function removes it.
void SetAudioHook(AudioHook hook);

}  // namespace plat
