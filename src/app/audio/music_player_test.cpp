#include "app/audio/music_player.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "app/audio/test_wav_files.h"
#include "platform/audio_device.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "support/temp_dir.h"

namespace {

using plat::AudioEvent;
using plat::AudioEventKind;

constexpr uint64_t kStart = 500000;

class FakeClock : public plat::ClockSource {
 public:
  std::atomic<uint64_t> ms{kStart};
  uint64_t MonotonicMs() override { return ms.load(); }
  void SleepMs(uint32_t n) override { ms.fetch_add(n); }
  plat::LocalTime Now() override { return {}; }
};

class MusicPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "dummy", 0);  // headless unless told otherwise
    oldRoot_ = plat::DataRoot();
    plat::SetDataRoot(dir_.path());
    plat::SetAudioHook([this](const AudioEvent& e) {
      std::lock_guard<std::mutex> guard(mutex_);
      events_.push_back(e);
    });
  }
  void TearDown() override {
    plat::SetClockSource(nullptr);
    MusicRelease(player_);
    plat::SetAudioHook(nullptr);
    plat::SetDataRoot(oldRoot_);
  }

  void Init() { ASSERT_EQ(MusicInit(player_), plat::kOk) << "no audio output (SDL_AUDIODRIVER=dummy?)"; }

  std::vector<AudioEvent> Of(AudioEventKind kind) {
    std::lock_guard<std::mutex> guard(mutex_);
    std::vector<AudioEvent> out;
    for (const AudioEvent& e : events_)
      if (e.kind == kind) out.push_back(e);
    return out;
  }

  TempDir dir_;
  std::string oldRoot_;
  FakeClock clock_;
  std::mutex mutex_;
  std::vector<AudioEvent> events_;
  MusicPlayer player_;
};

TEST_F(MusicPlayerTest, TwoLoadsLeaveOneTrack) {
  Init();
  dir_.Write("SOUNDS/Intro.wav", test_wav::Tone(300));
  dir_.Write("SOUNDS/Battle.wav", test_wav::Tone(200, 3000));
  const int before = plat::LiveMusicTracks();
  EXPECT_EQ(LoadMusic(player_, "Intro.wav"), plat::kOk);
  EXPECT_EQ(LoadMusic(player_, "Battle.wav"), plat::kOk);
  EXPECT_EQ(plat::LiveMusicTracks(), before + 1);
  EXPECT_STREQ(player_.path, "SOUNDS\\Battle.wav");
  EXPECT_EQ(Of(AudioEventKind::kMusicLoad).size(), 2u);
  MusicRelease(player_);
  EXPECT_EQ(plat::LiveMusicTracks(), before);
}

TEST_F(MusicPlayerTest, AMissingFileFailsAndKeepsTheCurrentTrack) {
  Init();
  dir_.Write("SOUNDS/Intro.wav", test_wav::Tone(3000));
  ASSERT_EQ(LoadMusic(player_, "Intro.wav"), plat::kOk);
  EXPECT_EQ(LoadMusic(player_, "Gone.MP3"), plat::kFail);
  EXPECT_TRUE(player_.stream->HasTrack());
  EXPECT_EQ(Of(AudioEventKind::kMusicLoad).size(), 1u);
  // The kept track still runs.
  EXPECT_EQ(RunMusic(player_), plat::kOk);
  EXPECT_TRUE(player_.stream->Running());
}

TEST_F(MusicPlayerTest, WithNoMusicShippedNothingPlaysAndNothingFails) {
  Init();
  EXPECT_EQ(LoadMusic(player_, "Intro.MP3"), plat::kFail);
  EXPECT_FALSE(player_.stream->HasTrack());
  EXPECT_EQ(RunMusic(player_), plat::kOk);
  EXPECT_FALSE(player_.stream->Running());
  StopMusic(player_);
  EXPECT_TRUE(Of(AudioEventKind::kMusicRun).empty());
}

TEST_F(MusicPlayerTest, AFileTheDecoderRefusesIsNoErrorAndKeepsTheCurrentTrack) {
  Init();
  dir_.Write("SOUNDS/Intro.wav", test_wav::Tone(300));
  dir_.Write("SOUNDS/Broken.MP3", std::string(3000, '\x5A'));
  ASSERT_EQ(LoadMusic(player_, "Intro.wav"), plat::kOk);
  const int tracks = plat::LiveMusicTracks();
  EXPECT_EQ(LoadMusic(player_, "Broken.MP3"), plat::kOk);
  EXPECT_EQ(plat::LiveMusicTracks(), tracks);
  EXPECT_TRUE(player_.stream->HasTrack());
  EXPECT_EQ(Of(AudioEventKind::kMusicLoad).size(), 1u);
}

TEST_F(MusicPlayerTest, LoadStopsAndRewindsRunPlaysStopHolds) {
  Init();
  dir_.Write("SOUNDS/A.wav", test_wav::Tone(3000));
  dir_.Write("SOUNDS/B.wav", test_wav::Tone(3000, 2000));
  ASSERT_EQ(LoadMusic(player_, "a.WAV"), plat::kOk);  // names match ignoring case
  EXPECT_FALSE(player_.stream->Running());
  EXPECT_EQ(RunMusic(player_), plat::kOk);
  EXPECT_TRUE(player_.stream->Running());
  StopMusic(player_);
  EXPECT_FALSE(player_.stream->Running());
  EXPECT_EQ(RunMusic(player_), plat::kOk);
  EXPECT_TRUE(player_.stream->Running());
  ASSERT_EQ(LoadMusic(player_, "B.wav"), plat::kOk);
  EXPECT_FALSE(player_.stream->Running());
}

TEST_F(MusicPlayerTest, WithoutAPlayerLoadAndRunDoNothing) {
  dir_.Write("SOUNDS/Intro.wav", test_wav::Tone(300));
  EXPECT_EQ(LoadMusic(player_, "Intro.wav"), plat::kOk);
  EXPECT_EQ(LoadMusic(player_, "Gone.MP3"), plat::kOk);
  EXPECT_EQ(RunMusic(player_), plat::kOk);
  StopMusic(player_);
  EXPECT_TRUE(events_.empty());
}

TEST_F(MusicPlayerTest, FadeOutMakesFortyVolumeStepsThirtyMsApart) {
  Init();
  plat::SetClockSource(&clock_);
  FadeOutMusic(player_);
  const auto steps = Of(AudioEventKind::kMusicVolume);
  ASSERT_EQ(steps.size(), 40u);
  EXPECT_EQ(steps.front().value, -25);
  EXPECT_EQ(steps[1].value, -50);
  EXPECT_EQ(steps.back().value, -999);
  for (size_t i = 0; i < steps.size(); ++i) {
    EXPECT_GE(steps[i].tick, kStart + 30 * (i + 1)) << i;
    if (i == 0) continue;
    // About 0.25 dB lower each step.
    EXPECT_LE(steps[i].value, steps[i - 1].value - 24) << i;
    EXPECT_GE(steps[i].value, steps[i - 1].value - 26) << i;
  }
  EXPECT_GE(clock_.ms.load(), kStart + 1200);
  EXPECT_EQ(player_.stream->Volume(), -999);
}

TEST_F(MusicPlayerTest, FadeOutWithoutAPlayerStillTakesItsTime) {
  plat::SetClockSource(&clock_);
  FadeOutMusic(player_);
  EXPECT_GE(clock_.ms.load(), kStart + 1200);
  EXPECT_LT(clock_.ms.load(), kStart + 1300);
  EXPECT_TRUE(Of(AudioEventKind::kMusicVolume).empty());
}

}  // namespace
