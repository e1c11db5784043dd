#include "sound_synth.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/audio/sound_system.h"
#include "app/audio/wave_reader.h"
#include "platform/paths.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

int RunTool(const std::string& arguments) {
  const std::string command = std::string(VD_SOUND_SYNTH_EXE) + " " + arguments + " 2>/dev/null";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> ExpectedFiles() {
  std::vector<std::string> names;
  char name[40];
  for (int n = 1; n <= 31; ++n) {
    std::snprintf(name, sizeof name, "SOUNDS/UI/%03d.WAV", n);
    names.emplace_back(name);
  }
  for (int n = 1; n <= 127; ++n) {
    std::snprintf(name, sizeof name, "SOUNDS/Military/%03d.WAV", n);
    names.emplace_back(name);
  }
  return names;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    uint8_t buf[4096];
    size_t got;
    while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + got);
    std::fclose(f);
  }
  return bytes;
}

size_t CountFiles(const std::string& dir) {
  size_t n = 0;
  for (const auto& e : fs::recursive_directory_iterator(dir))
    if (e.is_regular_file()) ++n;
  return n;
}

class SoundSynthFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "dummy", 0);  // headless unless told otherwise
    oldRoot_ = plat::DataRoot();
    ASSERT_EQ(RunTool(dir_.path()), 0);
    plat::SetDataRoot(dir_.path());
  }
  void TearDown() override { plat::SetDataRoot(oldRoot_); }
  TempDir dir_;
  std::string oldRoot_;
};

TEST(SoundSynthTest, RunningTheToolTwiceWritesTheSameBytes) {
  TempDir first, second;
  ASSERT_EQ(RunTool(first.path()), 0);
  ASSERT_EQ(RunTool(second.path()), 0);
  for (const std::string& name : ExpectedFiles()) {
    const std::vector<uint8_t> a = ReadAll(first.path() + "/" + name);
    ASSERT_FALSE(a.empty()) << name;
    EXPECT_EQ(a, ReadAll(second.path() + "/" + name)) << name;
  }
  // Nothing else, not even a temporary file left behind.
  EXPECT_EQ(CountFiles(first.path()), 158u);
  // A third run over the first folder leaves its files as they were.
  const std::vector<uint8_t> before = ReadAll(first.path() + "/SOUNDS/Military/064.WAV");
  ASSERT_EQ(RunTool(first.path()), 0);
  EXPECT_EQ(ReadAll(first.path() + "/SOUNDS/Military/064.WAV"), before);
  EXPECT_EQ(CountFiles(first.path()), 158u);
}

TEST(SoundSynthTest, TheToolRefusesBadArgumentsAndUnwritablePlaces) {
  EXPECT_EQ(RunTool(""), 2);
  TempDir dir;
  const std::string file = dir.Write("plain-file", "x");
  EXPECT_EQ(RunTool(file), 1);
}

TEST(SoundSynthTest, AWavFileIsLaidOutByteForByte) {
  const std::vector<uint8_t> wav = sound_synth::EncodeWav({1, -2}, 22050);
  const std::vector<uint8_t> expected = {
      'R', 'I', 'F', 'F', 40, 0, 0, 0, 'W', 'A', 'V', 'E',                  // 4 + 24 + 12 bytes follow
      'f', 'm', 't', ' ', 16, 0, 0, 0,                                      //
      1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x44, 0xAC, 0, 0, 2, 0, 16, 0,          // PCM, mono, 22050, 44100 B/s, 2, 16
      'd', 'a', 't', 'a', 4, 0, 0, 0, 1, 0, 0xFE, 0xFF};
  EXPECT_EQ(wav, expected);
}

TEST(SoundSynthTest, NumbersOutsideTheTablesGiveNoSound) {
  EXPECT_TRUE(sound_synth::SynthUi(0).empty());
  EXPECT_TRUE(sound_synth::SynthUi(32).empty());
  EXPECT_TRUE(sound_synth::SynthMilitary(0).empty());
  EXPECT_TRUE(sound_synth::SynthMilitary(128).empty());
}

TEST_F(SoundSynthFilesTest, EveryFileIsAShortDistinctMono16BitSoundThatFadesOut) {
  std::set<std::vector<uint8_t>> seen;
  for (std::string name : ExpectedFiles()) {
    WaveReader r;
    ASSERT_EQ(WaveOpen(r, name), plat::kOk) << name;
    const plat::WaveFormat f = DecodeWaveFormat(r.format);
    EXPECT_EQ(f.formatTag, plat::kWaveFormatPcm) << name;
    EXPECT_EQ(f.channels, 1) << name;
    EXPECT_EQ(f.samplesPerSec, 22050u) << name;
    EXPECT_EQ(f.bitsPerSample, 16) << name;
    EXPECT_EQ(f.blockAlign, 2) << name;
    const uint32_t ms = r.data.size / 2 * 1000 / 22050;
    EXPECT_GE(ms, 20u) << name;
    EXPECT_LE(ms, 1500u) << name;

    std::vector<uint8_t> data(r.data.size);
    ASSERT_EQ(WaveRead(r, data.data(), r.data.size), r.data.size) << name;
    int peak = 0;
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
      const int v = static_cast<int16_t>(data[i] | data[i + 1] << 8);
      peak = std::max(peak, v < 0 ? -v : v);
    }
    EXPECT_GT(peak, 2000) << name << " is too quiet";
    const size_t last = data.size() - 2;
    const int tail = static_cast<int16_t>(data[last] | data[last + 1] << 8);
    EXPECT_LT(std::abs(tail), 500) << name << " ends with a click";
    EXPECT_TRUE(seen.insert(data).second) << name << " sounds like another";
  }
}

TEST_F(SoundSynthFilesTest, TheGameLoadsEverySoundItAsksFor) {
  SoundSystem sound;
  ASSERT_EQ(SoundInit(sound, nullptr), plat::kOk) << "no audio output (SDL_AUDIODRIVER=dummy?)";
  SetSoundVolume(sound, 1, 10000);  // muted: the sounds load below without playing
  SetSoundVolume(sound, 0, 10000);
  for (int n = 1; n <= 31; ++n) {
    sound.uiSlots[n] = LoadSoundEffect(sound, "SOUNDS\\UI\\" + std::string(n < 10 ? "00" : "0") + std::to_string(n) + ".WAV");
    ASSERT_NE(sound.uiSlots[n], nullptr);
    EXPECT_NE(sound.uiSlots[n]->buffer, nullptr) << n;
  }
  for (int n = 1; n <= 127; ++n) {
    PlayMilitarySound(sound, n);
    ASSERT_NE(sound.militarySlots[n], nullptr);
    EXPECT_NE(sound.militarySlots[n]->buffer, nullptr) << n;
  }
  SoundRelease(sound);
}

}  // namespace
