#include "app/audio/sound_system.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/app_object.h"
#include "app/audio/test_wav_files.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "support/temp_dir.h"

namespace {

using namespace test_wav;
using plat::AudioEvent;
using plat::AudioEventKind;

constexpr uint64_t kStart = 100000;  // "0 ms" of the tests

// A tick that moves only when the test says so (and by what is slept).
class FakeClock : public plat::ClockSource {
 public:
  std::atomic<uint64_t> ms{kStart};
  uint64_t MonotonicMs() override { return ms.load(); }
  void SleepMs(uint32_t n) override { ms.fetch_add(n); }
  plat::LocalTime Now() override { return {}; }
};

class Recorder {
 public:
  void Install() {
    plat::SetAudioHook([this](const AudioEvent& e) {
      std::lock_guard<std::mutex> guard(mutex_);
      events_.push_back(e);
    });
  }
  std::vector<AudioEvent> Of(AudioEventKind kind) {
    std::lock_guard<std::mutex> guard(mutex_);
    std::vector<AudioEvent> out;
    for (const AudioEvent& e : events_)
      if (e.kind == kind) out.push_back(e);
    return out;
  }
  void Clear() {
    std::lock_guard<std::mutex> guard(mutex_);
    events_.clear();
  }

 private:
  std::mutex mutex_;
  std::vector<AudioEvent> events_;
};

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

bool Playing(const SoundEffect* s) { return s && s->buffer && (s->buffer->GetStatus() & plat::kStatusPlaying); }

class SoundSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "dummy", 0);  // headless unless told otherwise
    oldRoot_ = plat::DataRoot();
    plat::SetDataRoot(dir_.path());
    oldOverlap_ = g_app.soundMinOverlap;
    oldSimDef_ = g_app.soundSimDef;
    g_app.soundMinOverlap = 75;
    g_app.soundSimDef = 4;
    plat::SetClockSource(&clock_);
    recorder_.Install();
  }

  void TearDown() override {
    SoundRelease(sound_);
    plat::SetAudioHook(nullptr);
    plat::SetClockSource(nullptr);
    g_app.soundMinOverlap = oldOverlap_;
    g_app.soundSimDef = oldSimDef_;
    plat::SetDataRoot(oldRoot_);
  }

  void Init() { ASSERT_EQ(SoundInit(sound_, nullptr), plat::kOk) << "no audio output (SDL_AUDIODRIVER=dummy?)"; }

  void WriteUi(int n, const std::string& bytes) {
    char name[32];
    std::snprintf(name, sizeof name, "SOUNDS/UI/%03d.WAV", n);
    dir_.Write(name, bytes);
  }
  void WriteMilitary(int n, const std::string& bytes) {
    char name[32];
    std::snprintf(name, sizeof name, "SOUNDS/Military/%03d.WAV", n);
    dir_.Write(name, bytes);
  }

  void At(uint64_t msFromStart) { clock_.ms.store(kStart + msFromStart); }

  TempDir dir_;
  std::string oldRoot_;
  int32_t oldOverlap_ = 0, oldSimDef_ = 0;
  FakeClock clock_;
  Recorder recorder_;
  SoundSystem sound_;
};

TEST_F(SoundSystemTest, RequestsAtZeroFiftyAndOneTwentyMsPlayAtZeroAndOneTwentyOnly) {
  Init();
  WriteUi(3, Tone(40));
  At(0);
  PlayUiSound(sound_, 3);
  At(50);
  PlayUiSound(sound_, 3);
  At(120);
  PlayUiSound(sound_, 3);
  const auto plays = recorder_.Of(AudioEventKind::kSoundPlay);
  ASSERT_EQ(plays.size(), 2u);
  EXPECT_EQ(plays[0].tick, kStart);
  EXPECT_EQ(plays[1].tick, kStart + 120);
  ASSERT_NE(sound_.uiSlots[3], nullptr);
  EXPECT_EQ(sound_.uiSlots[3]->lastPlayTick, kStart + 120);
  // Each play of an interface sound starts it over from the beginning.
  EXPECT_EQ(recorder_.Of(AudioEventKind::kSoundRewind).size(), 2u);
}

TEST_F(SoundSystemTest, TheReTriggerGuardFollowsTheSettingAndSurvivesTheTickWrapping) {
  Init();
  WriteUi(1, Tone(40));
  g_app.soundMinOverlap = 200;
  At(0);
  PlayUiSound(sound_, 1);
  At(199);
  PlayUiSound(sound_, 1);
  At(200);
  PlayUiSound(sound_, 1);
  EXPECT_EQ(recorder_.Of(AudioEventKind::kSoundPlay).size(), 2u);

  // A time stamp above the tick (the tick wrapped) counts as 0.
  SoundEffect& s = *sound_.uiSlots[1];
  s.lastPlayTick = 0xFFFFFF00u;
  clock_.ms.store(uint64_t{1} << 32 | 500);  // the 32-bit tick reads 500
  EXPECT_TRUE(SoundReadyToPlay(sound_, s));
  EXPECT_EQ(s.lastPlayTick, 500u);
}

TEST_F(SoundSystemTest, Level5555GivesAnAttenuationOfMinus445) {
  Init();
  EXPECT_EQ(SetSoundVolume(sound_, 0, 5555), plat::kOk);
  EXPECT_EQ(sound_.attenuation, -445);
  EXPECT_EQ(sound_.device->GetVolume(), -445);
  const auto volumes = recorder_.Of(AudioEventKind::kDeviceVolume);
  ASSERT_FALSE(volumes.empty());
  EXPECT_EQ(volumes.back().value, -445);
  // 10^(-445/2000) = 0.59910 of full scale: 77 of the mixer's 128 steps.
  EXPECT_NEAR(plat::GainFromAttenuation(-445), 0.59910, 0.00001);
  EXPECT_EQ(plat::MixerVolumeFromAttenuation(-445), 77);
}

TEST_F(SoundSystemTest, LevelsMapToAttenuationsAndOutOfRangeLevelsKeepThePrevious) {
  Init();
  struct {
    int32_t level, attenuation;
  } const table[] = {{10000, 0}, {0, -1000}, {9, -1000}, {19, -999}, {5000, -500}, {9999, -1}};
  for (const auto& row : table) {
    SetSoundVolume(sound_, 0, row.level);
    EXPECT_EQ(sound_.attenuation, row.attenuation) << row.level;
    EXPECT_EQ(sound_.device->GetVolume(), row.attenuation) << row.level;
  }
  SetSoundVolume(sound_, 0, 7000);
  for (int32_t level : {-1, 10001, 0x7FFFFFFF}) {
    SetSoundVolume(sound_, 0, level);
    EXPECT_EQ(sound_.attenuation, -300) << level;
    EXPECT_EQ(sound_.device->GetVolume(), -300) << level;
  }
}

TEST_F(SoundSystemTest, MuteThenUnmuteRestoresTheLevel) {
  Init();
  SetSoundVolume(sound_, 0, 5555);
  EXPECT_EQ(SetSoundVolume(sound_, 1, -1), plat::kOk);
  EXPECT_EQ(sound_.muted, 1u);
  EXPECT_EQ(sound_.device->GetVolume(), plat::kVolumeSilent);
  EXPECT_EQ(sound_.attenuation, -445);
  EXPECT_EQ(SetSoundVolume(sound_, 0, -1), plat::kOk);
  EXPECT_EQ(sound_.device->GetVolume(), -445);
}

TEST_F(SoundSystemTest, MutingStopsALoopingSoundAtOnceAndUnmutingDoesNotRestartIt) {
  Init();
  WriteUi(2, Tone(100));
  PlayUiSound(sound_, 2);  // loads it
  SoundEffect* s = sound_.uiSlots[2];
  ASSERT_NE(s, nullptr);
  ASSERT_NE(s->buffer, nullptr);
  At(1000);
  ASSERT_EQ(PlaySoundEffect(sound_, *s, 1), plat::kOk);
  EXPECT_TRUE(s->flags & kSoundLastLooped);
  EXPECT_EQ(s->buffer->GetStatus(), plat::kStatusPlaying | plat::kStatusLooping);
  SetSoundVolume(sound_, 1, -1);
  EXPECT_EQ(s->buffer->GetStatus(), 0u);
  SetSoundVolume(sound_, 0, -1);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(s->buffer->GetStatus(), 0u);
}

TEST_F(SoundSystemTest, NothingLoadsOrPlaysWhileMuted) {
  Init();
  WriteUi(4, Tone(40));
  WriteMilitary(4, Tone(40));
  SetSoundVolume(sound_, 1, 10000);
  PlayUiSound(sound_, 4);
  PlayMilitarySound(sound_, 4);
  EXPECT_EQ(sound_.uiSlots[4], nullptr);
  EXPECT_EQ(sound_.militarySlots[4], nullptr);
  EXPECT_TRUE(recorder_.Of(AudioEventKind::kSoundPlay).empty());
}

TEST_F(SoundSystemTest, NumbersOutsideTheTablesAreIgnored) {
  Init();
  for (int n : {0, 128, -1, 1000}) PlayMilitarySound(sound_, n);
  for (int n : {0, 32, -5}) PlayUiSound(sound_, n);
  for (SoundEffect* s : sound_.militarySlots) EXPECT_EQ(s, nullptr);
  for (SoundEffect* s : sound_.uiSlots) EXPECT_EQ(s, nullptr);
  // The last numbers of each table are real sounds.
  WriteMilitary(127, Tone(30));
  WriteUi(31, Tone(30));
  PlayMilitarySound(sound_, 127);
  PlayUiSound(sound_, 31);
  ASSERT_NE(sound_.militarySlots[127], nullptr);
  ASSERT_NE(sound_.uiSlots[31], nullptr);
  EXPECT_EQ(sound_.militarySlots[127]->fileName, "SOUNDS\\Military\\127.WAV");
  EXPECT_EQ(sound_.uiSlots[31]->fileName, "SOUNDS\\UI\\031.WAV");
  EXPECT_EQ(recorder_.Of(AudioEventKind::kSoundPlay).size(), 2u);
}

TEST_F(SoundSystemTest, AFourteenByteFormatChunkLeavesTheSoundSilent) {
  Init();
  const std::string fmt14 = FmtBasic(1, 1, 22050, 16).substr(0, 14);
  WriteUi(5, Riff(Chunk("fmt ", fmt14) + Chunk("data", Samples16(2000, 1, 4000, 40))));
  PlayUiSound(sound_, 5);
  SoundEffect* s = sound_.uiSlots[5];
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->buffer, nullptr);
  EXPECT_EQ(s->fileName, "SOUNDS\\UI\\005.WAV");
  At(1000);
  EXPECT_EQ(PlaySoundEffect(sound_, *s, 0), plat::kFail);
  EXPECT_EQ(PlaySoundOverlapped(sound_, *s, 0), plat::kFail);
  EXPECT_EQ(StopSoundEffect(*s), plat::kFail);
  EXPECT_TRUE(recorder_.Of(AudioEventKind::kSoundPlay).empty());
}

TEST_F(SoundSystemTest, TruncatedBogusAndMissingFilesAreRefusedWithoutACrash) {
  Init();
  const std::string good = Tone(60);
  WriteMilitary(1, good.substr(0, good.size() - 1));
  WriteMilitary(2, good.substr(0, 30));
  WriteMilitary(3, std::string(5000, '\x7F'));
  WriteMilitary(4, "");
  // A format the output cannot play: 24-bit samples, and a non-PCM tag.
  WriteMilitary(5, Riff(Chunk("fmt ", FmtBasic(1, 1, 22050, 24)) + Chunk("data", std::string(300, '\1'))));
  WriteMilitary(6, Riff(Chunk("fmt ", FmtBasic(2, 1, 22050, 4) + Le16(2) + std::string(2, '\0')) + Chunk("data", std::string(64, '\1'))));
  // Fewer bytes than one sample frame, and a rate of 0.
  WriteMilitary(7, Riff(Chunk("fmt ", FmtBasic(1, 2, 22050, 16)) + Chunk("data", "ab")));
  std::string zeroRate = FmtBasic(1, 1, 0, 16);
  WriteMilitary(8, Riff(Chunk("fmt ", zeroRate) + Chunk("data", std::string(400, '\1'))));
  for (int n = 1; n <= 9; ++n) {  // 9 does not exist
    PlayMilitarySound(sound_, n);
    ASSERT_NE(sound_.militarySlots[n], nullptr) << n;
    EXPECT_EQ(sound_.militarySlots[n]->buffer, nullptr) << n;
  }
  EXPECT_TRUE(recorder_.Of(AudioEventKind::kSoundPlay).empty());
  // The same file whole plays.
  WriteMilitary(10, good);
  PlayMilitarySound(sound_, 10);
  EXPECT_NE(sound_.militarySlots[10]->buffer, nullptr);
  EXPECT_EQ(recorder_.Of(AudioEventKind::kSoundPlay).size(), 1u);
}

TEST_F(SoundSystemTest, FloatAndEightBitSoundsPlay) {
  Init();
  std::string floats;
  for (int i = 0; i < 400; ++i) {
    const float v = (i % 20) < 10 ? 0.25f : -0.25f;
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    floats += Le32(bits);
  }
  WriteUi(6, Riff(Chunk("fmt ", FmtBasic(3, 1, 22050, 32) + Le16(0)) + Chunk("data", floats)));
  WriteUi(7, Riff(Chunk("fmt ", FmtBasic(1, 1, 11025, 8)) + Chunk("data", std::string(500, '\xC0'))));
  PlayUiSound(sound_, 6);
  PlayUiSound(sound_, 7);
  EXPECT_NE(sound_.uiSlots[6]->buffer, nullptr);
  EXPECT_NE(sound_.uiSlots[7]->buffer, nullptr);
  EXPECT_EQ(recorder_.Of(AudioEventKind::kSoundPlay).size(), 2u);
}

TEST_F(SoundSystemTest, OverlappingMilitarySoundsMakeUpToSoundSimDefVoicesThenRestartTheFirst) {
  Init();
  WriteMilitary(12, Tone(3000));  // long enough to be still playing throughout
  for (int i = 0; i < 6; ++i) {
    At(1000 + 100 * static_cast<uint64_t>(i));
    PlayMilitarySound(sound_, 12);
  }
  SoundEffect* s = sound_.militarySlots[12];
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->voiceCount, 3);
  int ring = 1;
  for (ListNode* n = s->next(); n && n != s; n = n->next()) {
    ++ring;
    EXPECT_TRUE(Playing(static_cast<SoundEffect*>(n)));
  }
  EXPECT_EQ(ring, 4);
  EXPECT_TRUE(Playing(s));

  const auto plays = recorder_.Of(AudioEventKind::kSoundPlay);
  ASSERT_EQ(plays.size(), 6u);
  const uint64_t first = s->buffer->Serial();
  EXPECT_EQ(plays[0].id, first);
  EXPECT_NE(plays[1].id, first);
  EXPECT_NE(plays[2].id, plays[1].id);
  EXPECT_NE(plays[3].id, plays[2].id);
  // The fifth and sixth find every voice busy: the first starts over.
  EXPECT_EQ(plays[4].id, first);
  EXPECT_EQ(plays[5].id, first);
  const auto rewinds = recorder_.Of(AudioEventKind::kSoundRewind);
  ASSERT_GE(rewinds.size(), 2u);
  EXPECT_EQ(rewinds.back().id, first);

  // Stopping the sound stops every voice.
  EXPECT_EQ(StopSoundEffect(*s), plat::kOk);
  EXPECT_FALSE(Playing(s));
  for (ListNode* n = s->next(); n && n != s; n = n->next()) EXPECT_FALSE(Playing(static_cast<SoundEffect*>(n)));

  // A stopped voice is used again before any new one is made.
  At(2000);
  PlayMilitarySound(sound_, 12);
  At(2100);
  PlayMilitarySound(sound_, 12);
  EXPECT_EQ(s->voiceCount, 3);
  EXPECT_EQ(recorder_.Of(AudioEventKind::kSoundPlay).back().id, static_cast<SoundEffect*>(s->next())->buffer->Serial());
}

TEST_F(SoundSystemTest, WithSoundSimDefZeroASoundNeverDuplicates) {
  Init();
  g_app.soundSimDef = 0;
  WriteMilitary(20, Tone(3000));
  for (int i = 0; i < 3; ++i) {
    At(1000 + 100 * static_cast<uint64_t>(i));
    PlayMilitarySound(sound_, 20);
  }
  SoundEffect* s = sound_.militarySlots[20];
  EXPECT_EQ(s->voiceCount, 0);
  EXPECT_FALSE(s->linked());
  for (const AudioEvent& e : recorder_.Of(AudioEventKind::kSoundPlay)) EXPECT_EQ(e.id, s->buffer->Serial());
}

TEST_F(SoundSystemTest, ANonLoopingSoundPlaysToItsEndAndCanPlayAgain) {
  Init();
  WriteUi(8, Tone(500));
  PlayUiSound(sound_, 8);
  SoundEffect* s = sound_.uiSlots[8];
  ASSERT_TRUE(s && s->buffer);
  EXPECT_TRUE(Eventually([&] { return !Playing(s); })) << "the dummy output should consume the sound";
  At(5000);
  EXPECT_EQ(PlaySoundEffect(sound_, *s, 0), plat::kOk);
  EXPECT_EQ(s->buffer->GetStatus(), plat::kStatusPlaying);
}

TEST_F(SoundSystemTest, DestroyingTheFirstVoiceDestroysTheRing) {
  Init();
  WriteMilitary(30, Tone(3000));
  for (int i = 0; i < 4; ++i) {
    At(1000 + 100 * static_cast<uint64_t>(i));
    PlayMilitarySound(sound_, 30);
  }
  SoundEffect* s = sound_.militarySlots[30];
  ASSERT_EQ(s->voiceCount, 3);
  sound_.militarySlots[30] = nullptr;
  // The sanitizer build reports any voice left behind as a leak.
  SoundEffectDestroy(s);
  SoundEffectDestroy(nullptr);
}

TEST_F(SoundSystemTest, MilitarySoundsFromAnotherThreadWhileTheMainThreadMutes) {
  Init();
  for (int n = 1; n <= 8; ++n) WriteMilitary(n, Tone(200 + 50 * static_cast<uint32_t>(n)));
  std::atomic<bool> done{false};
  std::thread turn([&] {
    for (int i = 0; i < 3000; ++i) {
      clock_.ms.fetch_add(40);
      PlayMilitarySound(sound_, 1 + i % 8);
    }
    done.store(true);
  });
  for (int i = 0; !done.load(); ++i) {
    SetSoundVolume(sound_, i % 2, 5000 + i % 5000);
    std::this_thread::yield();
  }
  turn.join();
  SetSoundVolume(sound_, 1, -1);
  for (SoundEffect* s : sound_.militarySlots) {
    if (!s) continue;
    EXPECT_FALSE(Playing(s));
    for (ListNode* n = s->next(); n && n != s; n = n->next()) EXPECT_FALSE(Playing(static_cast<SoundEffect*>(n)));
  }
  // Whatever the threads did to each other, the sounds still work.
  SetSoundVolume(sound_, 0, -1);
  recorder_.Clear();
  clock_.ms.fetch_add(1000);
  PlayMilitarySound(sound_, 3);
  EXPECT_EQ(recorder_.Of(AudioEventKind::kSoundPlay).size(), 1u);
  EXPECT_TRUE(Playing(sound_.militarySlots[3]));
}

TEST_F(SoundSystemTest, WithoutAnAudioOutputSoundsLoadSilentAndNothingFails) {
  const char* old = std::getenv("SDL_AUDIODRIVER");
  const std::string saved = old ? old : "";
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  EXPECT_EQ(SoundInit(sound_, nullptr), plat::kFail);
  if (old)
    setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
  else
    unsetenv("SDL_AUDIODRIVER");
  EXPECT_EQ(sound_.device, nullptr);
  WriteUi(9, Tone(40));
  PlayUiSound(sound_, 9);
  ASSERT_NE(sound_.uiSlots[9], nullptr);
  EXPECT_EQ(sound_.uiSlots[9]->buffer, nullptr);
  EXPECT_EQ(SetSoundVolume(sound_, 0, 5555), plat::kFail);
  EXPECT_EQ(sound_.attenuation, -445);
  EXPECT_TRUE(recorder_.Of(AudioEventKind::kSoundPlay).empty());
}

TEST_F(SoundSystemTest, ReleaseDestroysTheSoundsAndInitCanRunAgain) {
  Init();
  WriteUi(10, Tone(40));
  PlayUiSound(sound_, 10);
  ASSERT_NE(sound_.uiSlots[10], nullptr);
  SoundRelease(sound_);
  EXPECT_EQ(sound_.uiSlots[10], nullptr);
  EXPECT_EQ(sound_.device, nullptr);
  Init();
  At(1000);
  PlayUiSound(sound_, 10);
  ASSERT_NE(sound_.uiSlots[10], nullptr);
  EXPECT_NE(sound_.uiSlots[10]->buffer, nullptr);
}

}  // namespace
