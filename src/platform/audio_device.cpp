#include "platform/audio_device.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

#include "platform/audio_mixer_internal.h"

namespace plat {

using audio_internal::Emit;

// The device's state, shared with its buffers so a buffer that outlives the
// device fails cleanly instead of touching a closed mixer.
struct AudioCore {
  std::mutex mutex;
  bool open = false;
  int32_t volume = kVolumeFull;
  // Per mixer channel, the serial of the voice that last started on it. Only
  // this device starts sounds on channels, so a channel that is playing and
  // names a voice belongs to that voice.
  std::vector<uint64_t> owners;
  uint64_t nextSerial = 1;
};

struct SoundBuffer::Samples {
  std::vector<uint8_t> data;  // in the output format
};

namespace {

constexpr int kFirstChannels = 64;
constexpr int kMostChannels = 1024;

std::atomic<bool> g_deviceOpen{false};

// The source format in the mixer's terms, or 0 when it cannot play it.
SDL_AudioFormat SourceFormat(const WaveFormat& f) {
  if (f.formatTag == kWaveFormatPcm) {
    switch (f.bitsPerSample) {
      case 8: return AUDIO_U8;
      case 16: return AUDIO_S16LSB;
      case 32: return AUDIO_S32LSB;
      default: return 0;
    }
  }
  if (f.formatTag == kWaveFormatFloat && f.bitsPerSample == 32) return AUDIO_F32LSB;
  return 0;
}

// A free channel, adding channels when every one is taken; -1 when the
// output is full.
int FreeChannelLocked(AudioCore& core) {
  const int count = static_cast<int>(core.owners.size());
  for (int c = 0; c < count; ++c) {
    if (!Mix_Playing(c)) return c;
  }
  if (count >= kMostChannels) return -1;
  const int wanted = count * 2 > kMostChannels ? kMostChannels : (count > 0 ? count * 2 : kFirstChannels);
  const int got = Mix_AllocateChannels(wanted);
  if (got <= count) return -1;
  Mix_Volume(-1, MixerVolumeFromAttenuation(core.volume));
  core.owners.resize(static_cast<size_t>(got), 0);
  return count;
}

}  // namespace

SoundBuffer::SoundBuffer(std::shared_ptr<AudioCore> core, std::shared_ptr<const Samples> samples, uint32_t bytes)
    : core_(std::move(core)), samples_(std::move(samples)), bytes_(bytes) {
  auto* chunk = new Mix_Chunk{};
  chunk->allocated = 0;  // the samples belong to samples_
  chunk->abuf = const_cast<Uint8*>(samples_->data.data());
  chunk->alen = static_cast<Uint32>(samples_->data.size());
  chunk->volume = MIX_MAX_VOLUME;
  chunk_ = chunk;
}

SoundBuffer::~SoundBuffer() {
  {
    std::lock_guard<std::mutex> guard(core_->mutex);
    if (core_->open && channel_ >= 0 && static_cast<size_t>(channel_) < core_->owners.size() &&
        core_->owners[static_cast<size_t>(channel_)] == serial_) {
      // Halting waits for the mixer to let go of the samples.
      Mix_HaltChannel(channel_);
      core_->owners[static_cast<size_t>(channel_)] = 0;
    }
  }
  delete static_cast<Mix_Chunk*>(chunk_);
}

bool SoundBuffer::PlayingLocked() {
  if (channel_ < 0) return false;
  const bool ours = core_->open && static_cast<size_t>(channel_) < core_->owners.size() &&
                    core_->owners[static_cast<size_t>(channel_)] == serial_ && Mix_Playing(channel_);
  if (!ours) {
    // It played to its end (or the device went): back at the start.
    channel_ = -1;
    paused_ = false;
    return false;
  }
  return !paused_;
}

Status SoundBuffer::Play(uint32_t flags) {
  std::lock_guard<std::mutex> guard(core_->mutex);
  if (!core_->open) return kFail;
  const bool loop = (flags & kPlayLooping) != 0;
  if (PlayingLocked()) {
    // The latest flags hold. The mixer cannot change a playing sound's
    // looping, so a change starts it again from the start.
    if (loop != looping_) {
      if (Mix_PlayChannel(channel_, static_cast<Mix_Chunk*>(chunk_), loop ? -1 : 0) < 0) {
        core_->owners[static_cast<size_t>(channel_)] = 0;
        channel_ = -1;
        return kFail;
      }
      looping_ = loop;
    }
    Emit(AudioEventKind::kSoundPlay, looping_ ? 1 : 0, serial_);
    return kOk;
  }
  if (channel_ >= 0 && paused_) {
    Mix_Resume(channel_);
    paused_ = false;
    Emit(AudioEventKind::kSoundPlay, looping_ ? 1 : 0, serial_);
    return kOk;
  }
  const int c = FreeChannelLocked(*core_);
  if (c < 0) return kFail;
  core_->owners[static_cast<size_t>(c)] = serial_;
  if (Mix_PlayChannel(c, static_cast<Mix_Chunk*>(chunk_), loop ? -1 : 0) < 0) {
    core_->owners[static_cast<size_t>(c)] = 0;
    return kFail;
  }
  channel_ = c;
  paused_ = false;
  looping_ = loop;
  Emit(AudioEventKind::kSoundPlay, loop ? 1 : 0, serial_);
  return kOk;
}

Status SoundBuffer::Stop() {
  std::lock_guard<std::mutex> guard(core_->mutex);
  if (!core_->open) return kFail;
  if (PlayingLocked()) {
    Mix_Pause(channel_);
    paused_ = true;
  }
  Emit(AudioEventKind::kSoundStop, 0, serial_);
  return kOk;
}

Status SoundBuffer::SetCurrentPosition(uint32_t position) {
  if (position != 0) return kInvalidArg;
  std::lock_guard<std::mutex> guard(core_->mutex);
  if (!core_->open) return kFail;
  const bool playing = PlayingLocked();
  if (channel_ >= 0) {
    if (playing) {
      // Starting the channel again halts it first: the sound restarts.
      if (Mix_PlayChannel(channel_, static_cast<Mix_Chunk*>(chunk_), looping_ ? -1 : 0) < 0) {
        core_->owners[static_cast<size_t>(channel_)] = 0;
        channel_ = -1;
      }
    } else {
      Mix_HaltChannel(channel_);
      core_->owners[static_cast<size_t>(channel_)] = 0;
      channel_ = -1;
      paused_ = false;
    }
  }
  Emit(AudioEventKind::kSoundRewind, 0, serial_);
  return kOk;
}

uint32_t SoundBuffer::GetStatus() {
  std::lock_guard<std::mutex> guard(core_->mutex);
  if (!PlayingLocked()) return 0;
  return kStatusPlaying | (looping_ ? kStatusLooping : 0);
}

AudioDevice::AudioDevice(std::shared_ptr<AudioCore> core) : core_(std::move(core)) {}

std::unique_ptr<AudioDevice> AudioDevice::Open() {
  if (g_deviceOpen.exchange(true)) return nullptr;
  if (!audio_internal::AcquireMixer()) {
    g_deviceOpen.store(false);
    return nullptr;
  }
  auto core = std::make_shared<AudioCore>();
  const int got = Mix_AllocateChannels(kFirstChannels);
  core->owners.assign(static_cast<size_t>(got > 0 ? got : 0), 0);
  Mix_Volume(-1, MIX_MAX_VOLUME);
  core->open = true;
  return std::unique_ptr<AudioDevice>(new AudioDevice(std::move(core)));
}

AudioDevice::~AudioDevice() {
  {
    std::lock_guard<std::mutex> guard(core_->mutex);
    Mix_HaltChannel(-1);
    core_->open = false;
  }
  audio_internal::ReleaseMixer();
  g_deviceOpen.store(false);
}

int32_t AudioDevice::GetVolume() const {
  std::lock_guard<std::mutex> guard(core_->mutex);
  return core_->volume;
}

Status AudioDevice::SetVolume(int32_t hundredthsDb) {
  if (hundredthsDb < kVolumeSilent || hundredthsDb > kVolumeFull) return kInvalidArg;
  std::lock_guard<std::mutex> guard(core_->mutex);
  if (!core_->open) return kFail;
  core_->volume = hundredthsDb;
  Mix_Volume(-1, MixerVolumeFromAttenuation(hundredthsDb));
  Emit(AudioEventKind::kDeviceVolume, hundredthsDb);
  return kOk;
}

Status AudioDevice::CreateSoundBuffer(const WaveFormat& format, const void* data, uint32_t bytes,
                                      std::unique_ptr<SoundBuffer>* out) {
  if (!out) return kInvalidArg;
  out->reset();
  const SDL_AudioFormat source = SourceFormat(format);
  if (source == 0 || format.channels < 1 || format.channels > 8 || format.samplesPerSec == 0 ||
      format.samplesPerSec > 0x7FFFFFFFu || format.blockAlign != format.channels * format.bitsPerSample / 8)
    return kInvalidArg;
  if (!data || bytes < kSoundBufferMinBytes || bytes < format.blockAlign) return kInvalidArg;

  SDL_AudioCVT cvt;
  const int needed = SDL_BuildAudioCVT(&cvt, source, static_cast<Uint8>(format.channels),
                                       static_cast<int>(format.samplesPerSec), AUDIO_S16SYS,
                                       audio_internal::kOutputChannels, audio_internal::kOutputRate);
  if (needed < 0) return kInvalidArg;
  const size_t whole = bytes - bytes % format.blockAlign;
  if (whole > static_cast<size_t>(INT32_MAX) / static_cast<size_t>(cvt.len_mult > 0 ? cvt.len_mult : 1))
    return kFail;

  auto samples = std::make_shared<SoundBuffer::Samples>();
  try {
    samples->data.resize(whole * static_cast<size_t>(cvt.len_mult > 0 ? cvt.len_mult : 1));
  } catch (const std::bad_alloc&) {
    return kFail;
  }
  std::memcpy(samples->data.data(), data, whole);
  if (needed > 0) {
    cvt.buf = samples->data.data();
    cvt.len = static_cast<int>(whole);
    if (SDL_ConvertAudio(&cvt) != 0) return kFail;
    samples->data.resize(static_cast<size_t>(cvt.len_cvt));
  } else {
    samples->data.resize(whole);
  }
  if (samples->data.empty()) return kFail;

  std::lock_guard<std::mutex> guard(core_->mutex);
  if (!core_->open) return kFail;
  out->reset(new SoundBuffer(core_, std::move(samples), bytes));
  (*out)->serial_ = core_->nextSerial++;
  return kOk;
}

Status AudioDevice::DuplicateSoundBuffer(const SoundBuffer& original, std::unique_ptr<SoundBuffer>* out) {
  if (!out) return kInvalidArg;
  out->reset();
  if (original.core_ != core_) return kInvalidArg;
  std::lock_guard<std::mutex> guard(core_->mutex);
  if (!core_->open) return kFail;
  out->reset(new SoundBuffer(core_, original.samples_, original.bytes_));
  (*out)->serial_ = core_->nextSerial++;
  return kOk;
}

int AudioDevice::Channels() const {
  std::lock_guard<std::mutex> guard(core_->mutex);
  return static_cast<int>(core_->owners.size());
}

}  // namespace plat
