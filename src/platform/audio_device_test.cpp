#include "platform/audio_device.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

namespace plat {
namespace {

// Waits up to `ms` of real time for the condition.
template <typename F>
bool Eventually(F condition, int ms = 10000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return condition();
}

WaveFormat Pcm(uint16_t channels, uint32_t rate, uint16_t bits) {
  WaveFormat f;
  f.formatTag = kWaveFormatPcm;
  f.channels = channels;
  f.samplesPerSec = rate;
  f.blockAlign = static_cast<uint16_t>(channels * bits / 8);
  f.avgBytesPerSec = rate * f.blockAlign;
  f.bitsPerSample = bits;
  return f;
}

// Mono 16-bit samples of a square wave, `ms` long at 22,050 Hz.
std::vector<int16_t> Tone(uint32_t ms) {
  std::vector<int16_t> s(22050 * ms / 1000);
  for (size_t i = 0; i < s.size(); ++i) s[i] = (i / 25) % 2 ? 6000 : -6000;
  return s;
}

std::unique_ptr<SoundBuffer> MakeTone(AudioDevice& device, uint32_t ms) {
  const std::vector<int16_t> tone = Tone(ms);
  std::unique_ptr<SoundBuffer> buffer;
  EXPECT_EQ(device.CreateSoundBuffer(Pcm(1, 22050, 16), tone.data(), static_cast<uint32_t>(tone.size() * 2), &buffer),
            kOk);
  return buffer;
}

class AudioDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "dummy", 0);  // headless unless told otherwise
    device_ = AudioDevice::Open();
    ASSERT_NE(device_, nullptr) << "no audio output (SDL_AUDIODRIVER=dummy?)";
  }
  std::unique_ptr<AudioDevice> device_;
};

TEST(AudioGainTest, AttenuationsBecomeGainsAndMixerSteps) {
  EXPECT_DOUBLE_EQ(GainFromAttenuation(0), 1.0);
  EXPECT_NEAR(GainFromAttenuation(-2000), 0.1, 1e-12);
  EXPECT_NEAR(GainFromAttenuation(-600), 0.501187, 1e-6);  // -6 dB: about half
  EXPECT_NEAR(GainFromAttenuation(-1000), 0.316228, 1e-6);
  EXPECT_DOUBLE_EQ(GainFromAttenuation(-10000), 0.0);
  EXPECT_DOUBLE_EQ(GainFromAttenuation(-20000), 0.0);
  EXPECT_DOUBLE_EQ(GainFromAttenuation(500), 1.0);
  // 128 x gain, to the nearest step.
  EXPECT_EQ(MixerVolumeFromAttenuation(0), 128);
  EXPECT_EQ(MixerVolumeFromAttenuation(-600), 64);   // 64.15
  EXPECT_EQ(MixerVolumeFromAttenuation(-1000), 40);  // 40.48
  EXPECT_EQ(MixerVolumeFromAttenuation(-2000), 13);  // 12.8
  EXPECT_EQ(MixerVolumeFromAttenuation(-6000), 0);   // 0.128
  EXPECT_EQ(MixerVolumeFromAttenuation(kVolumeSilent), 0);
}

TEST_F(AudioDeviceTest, OnlyOneDeviceAtATimeAndANewOneAfterClosing) {
  EXPECT_EQ(AudioDevice::Open(), nullptr);
  device_.reset();
  device_ = AudioDevice::Open();
  EXPECT_NE(device_, nullptr);
}

TEST_F(AudioDeviceTest, VolumeIsCheckedAndKept) {
  EXPECT_EQ(device_->GetVolume(), kVolumeFull);
  EXPECT_EQ(device_->SetVolume(-445), kOk);
  EXPECT_EQ(device_->GetVolume(), -445);
  EXPECT_EQ(device_->SetVolume(1), kInvalidArg);
  EXPECT_EQ(device_->SetVolume(-10001), kInvalidArg);
  EXPECT_EQ(device_->GetVolume(), -445);
  EXPECT_EQ(device_->SetVolume(kVolumeSilent), kOk);
}

TEST_F(AudioDeviceTest, FormatsTheOutputCannotPlayAreRefused) {
  const std::vector<uint8_t> bytes(4000, 0x10);
  std::unique_ptr<SoundBuffer> b;
  struct Case {
    const char* what;
    WaveFormat format;
  };
  WaveFormat adpcm = Pcm(1, 22050, 4);
  adpcm.formatTag = 2;
  WaveFormat badBlock = Pcm(2, 22050, 16);
  badBlock.blockAlign = 2;
  WaveFormat floats16 = Pcm(1, 22050, 16);
  floats16.formatTag = kWaveFormatFloat;
  const Case cases[] = {
      {"non-PCM", adpcm},          {"24-bit", Pcm(1, 22050, 24)}, {"no channels", Pcm(0, 22050, 16)},
      {"9 channels", Pcm(9, 22050, 16)}, {"rate 0", Pcm(1, 0, 16)},  {"wrong block", badBlock},
      {"16-bit float", floats16},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(device_->CreateSoundBuffer(c.format, bytes.data(), 4000, &b), kInvalidArg) << c.what;
    EXPECT_EQ(b, nullptr) << c.what;
  }
  EXPECT_EQ(device_->CreateSoundBuffer(Pcm(1, 22050, 16), bytes.data(), 3, &b), kInvalidArg);
  EXPECT_EQ(device_->CreateSoundBuffer(Pcm(2, 22050, 32), bytes.data(), 4, &b), kInvalidArg);  // one frame is 8
  EXPECT_EQ(device_->CreateSoundBuffer(Pcm(1, 22050, 16), nullptr, 4000, &b), kInvalidArg);
  // The smallest sound: 4 bytes.
  EXPECT_EQ(device_->CreateSoundBuffer(Pcm(1, 22050, 16), bytes.data(), 4, &b), kOk);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Bytes(), 4u);
  // A partial frame at the end is dropped, not refused.
  EXPECT_EQ(device_->CreateSoundBuffer(Pcm(2, 8000, 16), bytes.data(), 4002, &b), kOk);
  EXPECT_EQ(device_->CreateSoundBuffer(Pcm(1, 8000, 8), bytes.data(), 4000, &b), kOk);
  EXPECT_EQ(device_->CreateSoundBuffer(Pcm(6, 48000, 32), bytes.data(), 2400, &b), kOk);
}

TEST_F(AudioDeviceTest, ASoundPlaysToItsEndAndStartsOverNextTime) {
  // Long enough that it is surely still playing when looked at right after
  // Play, short enough to end soon.
  auto b = MakeTone(*device_, 500);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->GetStatus(), 0u);
  EXPECT_EQ(b->Play(0), kOk);
  EXPECT_EQ(b->GetStatus(), kStatusPlaying);
  EXPECT_TRUE(Eventually([&] { return b->GetStatus() == 0; }));
  EXPECT_EQ(b->Play(0), kOk);
  EXPECT_EQ(b->GetStatus(), kStatusPlaying);
}

TEST_F(AudioDeviceTest, LoopingGoesOnUntilStoppedAndStopKeepsThePlace) {
  auto b = MakeTone(*device_, 300);
  ASSERT_EQ(b->Play(kPlayLooping), kOk);
  EXPECT_EQ(b->GetStatus(), kStatusPlaying | kStatusLooping);
  std::this_thread::sleep_for(std::chrono::milliseconds(800));  // well past its length
  EXPECT_EQ(b->GetStatus(), kStatusPlaying | kStatusLooping);
  EXPECT_EQ(b->Stop(), kOk);
  EXPECT_EQ(b->GetStatus(), 0u);
  // Stopped part-way it holds its voice; playing resumes it.
  EXPECT_EQ(b->Play(kPlayLooping), kOk);
  EXPECT_EQ(b->GetStatus(), kStatusPlaying | kStatusLooping);
  // A play without looping takes over the flags.
  EXPECT_EQ(b->Play(0), kOk);
  EXPECT_EQ(b->GetStatus(), kStatusPlaying);
  EXPECT_EQ(b->SetCurrentPosition(8), kInvalidArg);
  EXPECT_EQ(b->Stop(), kOk);
  EXPECT_EQ(b->SetCurrentPosition(0), kOk);
  EXPECT_EQ(b->GetStatus(), 0u);
}

TEST_F(AudioDeviceTest, DuplicatesPlayAlongsideTheirOriginal) {
  auto first = MakeTone(*device_, 2000);
  std::unique_ptr<SoundBuffer> second, third;
  ASSERT_EQ(device_->DuplicateSoundBuffer(*first, &second), kOk);
  ASSERT_EQ(device_->DuplicateSoundBuffer(*second, &third), kOk);
  EXPECT_NE(first->Serial(), second->Serial());
  EXPECT_EQ(second->Bytes(), first->Bytes());
  ASSERT_EQ(first->Play(0), kOk);
  ASSERT_EQ(second->Play(0), kOk);
  ASSERT_EQ(third->Play(kPlayLooping), kOk);
  EXPECT_EQ(first->GetStatus(), kStatusPlaying);
  EXPECT_EQ(second->GetStatus(), kStatusPlaying);
  EXPECT_EQ(third->GetStatus(), kStatusPlaying | kStatusLooping);
  EXPECT_EQ(second->Stop(), kOk);
  EXPECT_EQ(second->GetStatus(), 0u);
  EXPECT_EQ(first->GetStatus(), kStatusPlaying);
  // The original may go first: the duplicate keeps the sound.
  first.reset();
  EXPECT_EQ(third->GetStatus(), kStatusPlaying | kStatusLooping);
}

TEST_F(AudioDeviceTest, TheOutputGrowsForManyVoices) {
  auto b = MakeTone(*device_, 2000);
  std::vector<std::unique_ptr<SoundBuffer>> voices;
  for (int i = 0; i < 150; ++i) {
    std::unique_ptr<SoundBuffer> v;
    ASSERT_EQ(device_->DuplicateSoundBuffer(*b, &v), kOk);
    ASSERT_EQ(v->Play(kPlayLooping), kOk) << i;
    voices.push_back(std::move(v));
  }
  EXPECT_GE(device_->Channels(), 150);
  for (auto& v : voices) EXPECT_EQ(v->GetStatus(), kStatusPlaying | kStatusLooping);
}

TEST_F(AudioDeviceTest, BuffersOutlivingTheirDeviceFailCleanly) {
  auto b = MakeTone(*device_, 1000);
  ASSERT_EQ(b->Play(kPlayLooping), kOk);
  device_.reset();
  EXPECT_EQ(b->GetStatus(), 0u);
  EXPECT_EQ(b->Play(0), kFail);
  EXPECT_EQ(b->Stop(), kFail);
  EXPECT_EQ(b->SetCurrentPosition(0), kFail);
  device_ = AudioDevice::Open();
  ASSERT_NE(device_, nullptr);
  std::unique_ptr<SoundBuffer> copy;
  EXPECT_EQ(device_->DuplicateSoundBuffer(*b, &copy), kInvalidArg);  // another device's
}

TEST_F(AudioDeviceTest, TheHookSeesPlaysStopsRewindsAndVolumes) {
  std::mutex m;
  std::vector<AudioEvent> seen;
  SetAudioHook([&](const AudioEvent& e) {
    std::lock_guard<std::mutex> g(m);
    seen.push_back(e);
  });
  auto b = MakeTone(*device_, 500);
  b->Play(kPlayLooping);
  b->Stop();
  b->SetCurrentPosition(0);
  device_->SetVolume(-300);
  SetAudioHook(nullptr);
  b->Play(0);  // not seen
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0].kind, AudioEventKind::kSoundPlay);
  EXPECT_EQ(seen[0].value, 1);
  EXPECT_EQ(seen[0].id, b->Serial());
  EXPECT_EQ(seen[1].kind, AudioEventKind::kSoundStop);
  EXPECT_EQ(seen[2].kind, AudioEventKind::kSoundRewind);
  EXPECT_EQ(seen[3].kind, AudioEventKind::kDeviceVolume);
  EXPECT_EQ(seen[3].value, -300);
}

TEST_F(AudioDeviceTest, PlaysFromSeveralThreadsAtOnce) {
  auto b = MakeTone(*device_, 30);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 200; ++i) {
        std::unique_ptr<SoundBuffer> v;
        ASSERT_EQ(device_->DuplicateSoundBuffer(*b, &v), kOk);
        v->Play(i % 2 ? kPlayLooping : 0);
        v->GetStatus();
        v->Stop();
        v->SetCurrentPosition(0);
      }
    });
  }
  for (int i = 0; i < 100; ++i) {
    b->Play(0);
    device_->SetVolume(-(i * 10));
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(device_->GetVolume(), -990);
}

// SDL's disk driver writes what the mixer makes to a file: the sound comes
// out scaled by the device's volume.
TEST(AudioDiskOutputTest, TheOutputCarriesTheSoundAtTheDevicesVolume) {
  TempDir dir;
  const std::string out = dir.path() + "/out.raw";
  const char* oldDriver = std::getenv("SDL_AUDIODRIVER");
  const std::string savedDriver = oldDriver ? oldDriver : "";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
  auto device = AudioDevice::Open();
  if (oldDriver)
    setenv("SDL_AUDIODRIVER", savedDriver.c_str(), 1);
  else
    unsetenv("SDL_AUDIODRIVER");
  ASSERT_NE(device, nullptr);

  // Two seconds of a constant 10,000 in the output's own format (stereo,
  // 16 bits, 44,100 Hz), so nothing is converted on the way.
  std::vector<int16_t> constant(44100 * 2 * 2, 10000);
  std::unique_ptr<SoundBuffer> b;
  ASSERT_EQ(device->CreateSoundBuffer(Pcm(2, 44100, 16), constant.data(), static_cast<uint32_t>(constant.size() * 2), &b),
            kOk);
  ASSERT_EQ(device->SetVolume(-445), kOk);  // 77 of 128 steps: 10000 x 77 / 128 = 6015
  ASSERT_EQ(b->Play(kPlayLooping), kOk);

  auto count = [&](int16_t value) {
    std::ifstream in(out, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t n = 0;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
      int16_t v;
      std::memcpy(&v, bytes.data() + i, 2);
      if (v == value) ++n;
    }
    return n;
  };
  EXPECT_TRUE(Eventually([&] { return count(6015) >= 4096; })) << "found " << count(6015);
  EXPECT_EQ(count(10000), 0u);
  b.reset();
  device.reset();
  unsetenv("SDL_DISKAUDIOFILE");
}

}  // namespace
}  // namespace plat
