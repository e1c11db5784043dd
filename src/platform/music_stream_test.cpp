#include "platform/music_stream.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/audio_device.h"
#include "support/temp_dir.h"

namespace plat {
namespace {

std::string Le16(uint16_t v) { return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string Le32(uint32_t v) { return Le16(static_cast<uint16_t>(v & 0xFFFF)) + Le16(static_cast<uint16_t>(v >> 16)); }

// A mono 16-bit WAV of `ms` milliseconds at 22,050 Hz; the mixer plays WAV
// as music as well as MP3.
std::string WavTrack(uint32_t ms) {
  std::string samples;
  for (uint32_t i = 0; i < 22050 * ms / 1000; ++i) samples += Le16((i / 40) % 2 ? 5000 : static_cast<uint16_t>(-5000));
  const std::string fmt = Le16(1) + Le16(1) + Le32(22050) + Le32(44100) + Le16(2) + Le16(16);
  const std::string chunks = "fmt " + Le32(16) + fmt + "data" + Le32(static_cast<uint32_t>(samples.size())) + samples;
  return "RIFF" + Le32(static_cast<uint32_t>(4 + chunks.size())) + "WAVE" + chunks;
}

template <typename F>
bool Eventually(F condition, int ms = 10000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return condition();
}

class MusicStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "dummy", 0);  // headless unless told otherwise
    stream_ = MusicStream::Create();
    ASSERT_NE(stream_, nullptr) << "no audio output (SDL_AUDIODRIVER=dummy?)";
  }
  TempDir dir_;
  std::unique_ptr<MusicStream> stream_;
};

TEST_F(MusicStreamTest, OneStreamAtATime) {
  EXPECT_EQ(MusicStream::Create(), nullptr);
  stream_.reset();
  stream_ = MusicStream::Create();
  EXPECT_NE(stream_, nullptr);
}

TEST_F(MusicStreamTest, ALoadReplacesTheTrackAndFreesTheOldOne) {
  const int before = LiveMusicTracks();
  const std::string a = dir_.Write("a.wav", WavTrack(200));
  const std::string b = dir_.Write("b.wav", WavTrack(300));
  EXPECT_FALSE(stream_->HasTrack());
  ASSERT_EQ(stream_->Load(a), kOk);
  EXPECT_EQ(LiveMusicTracks(), before + 1);
  ASSERT_EQ(stream_->Load(b), kOk);
  EXPECT_EQ(LiveMusicTracks(), before + 1);
  EXPECT_EQ(stream_->Load(dir_.path() + "/missing.mp3"), kFail);
  EXPECT_EQ(stream_->Load(dir_.Write("junk.mp3", std::string(1000, '\0'))), kFail);
  EXPECT_TRUE(stream_->HasTrack());
  EXPECT_EQ(LiveMusicTracks(), before + 1);
  stream_.reset();
  EXPECT_EQ(LiveMusicTracks(), before);
}

TEST_F(MusicStreamTest, RunStopAndTheEndOfATrack) {
  EXPECT_EQ(stream_->Run(), kOk);  // no track: nothing plays
  EXPECT_FALSE(stream_->Running());
  ASSERT_EQ(stream_->Load(dir_.Write("t.wav", WavTrack(600))), kOk);
  EXPECT_FALSE(stream_->Running());
  ASSERT_EQ(stream_->Run(), kOk);
  EXPECT_TRUE(stream_->Running());
  ASSERT_EQ(stream_->Stop(), kOk);
  EXPECT_FALSE(stream_->Running());
  ASSERT_EQ(stream_->Run(), kOk);
  EXPECT_TRUE(stream_->Running());
  EXPECT_TRUE(Eventually([&] { return !stream_->Running(); })) << "a 600 ms track should end";
  // Run after the end plays it again from its start.
  ASSERT_EQ(stream_->Run(), kOk);
  EXPECT_TRUE(stream_->Running());
  ASSERT_EQ(stream_->Rewind(), kOk);
  EXPECT_FALSE(stream_->Running());
}

TEST_F(MusicStreamTest, VolumeIsCheckedAndSurvivesATrackChange) {
  EXPECT_EQ(stream_->SetVolume(-500), kOk);
  EXPECT_EQ(stream_->SetVolume(1), kInvalidArg);
  EXPECT_EQ(stream_->SetVolume(-10001), kInvalidArg);
  EXPECT_EQ(stream_->Volume(), -500);
  ASSERT_EQ(stream_->Load(dir_.Write("t.wav", WavTrack(100))), kOk);
  EXPECT_EQ(stream_->Volume(), -500);
}

TEST_F(MusicStreamTest, MusicAndSoundEffectsShareTheOutput) {
  auto device = AudioDevice::Open();
  ASSERT_NE(device, nullptr);
  ASSERT_EQ(stream_->Load(dir_.Write("t.wav", WavTrack(5000))), kOk);
  ASSERT_EQ(stream_->Run(), kOk);
  device.reset();  // closing the effects leaves the music playing
  EXPECT_TRUE(stream_->Running());
}

}  // namespace
}  // namespace plat
