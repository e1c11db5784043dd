#include "app/audio/wave_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "app/audio/test_wav_files.h"
#include "platform/paths.h"
#include "support/temp_dir.h"

namespace {

using namespace test_wav;

class WaveReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    oldRoot_ = plat::DataRoot();
    plat::SetDataRoot(dir_.path());
  }
  void TearDown() override { plat::SetDataRoot(oldRoot_); }

  // Writes the file and opens it.
  plat::Status Open(WaveReader& reader, const std::string& contents, const std::string& name = "t.wav") {
    dir_.Write(name, contents);
    return WaveOpen(reader, name);
  }

  TempDir dir_;
  std::string oldRoot_;
};

TEST_F(WaveReaderTest, ReadsThePcmFormatAsEighteenBytesAndTheSamplesInPieces) {
  const std::string samples = Samples16(10, 2, 1234, 4);  // 40 bytes
  WaveReader r;
  ASSERT_EQ(Open(r, Pcm16(2, 44100, samples)), plat::kOk);
  ASSERT_EQ(r.format.size(), 18u);
  EXPECT_EQ(r.format[16], 0);
  EXPECT_EQ(r.format[17], 0);
  const plat::WaveFormat f = DecodeWaveFormat(r.format);
  EXPECT_EQ(f.formatTag, 1);
  EXPECT_EQ(f.channels, 2);
  EXPECT_EQ(f.samplesPerSec, 44100u);
  EXPECT_EQ(f.avgBytesPerSec, 176400u);
  EXPECT_EQ(f.blockAlign, 4);
  EXPECT_EQ(f.bitsPerSample, 16);
  EXPECT_EQ(r.data.size, 40u);
  // 12 bytes of RIFF header, 8 + 16 of fmt, 8 of data header.
  EXPECT_EQ(r.data.dataOffset, 44u);

  std::string got(64, '\0');
  EXPECT_EQ(WaveRead(r, got.data(), 30), 30u);
  EXPECT_EQ(r.remaining, 10u);
  EXPECT_EQ(WaveRead(r, got.data() + 30, 30), 10u);  // cut to what is left
  EXPECT_EQ(WaveRead(r, got.data() + 40, 30), 0u);
  got.resize(40);
  EXPECT_EQ(got, samples);

  ASSERT_EQ(WaveRewind(r), plat::kOk);
  EXPECT_EQ(r.remaining, 40u);
  std::string again(40, '\0');
  EXPECT_EQ(WaveRead(r, again.data(), 40), 40u);
  EXPECT_EQ(again, samples);
}

TEST_F(WaveReaderTest, AFormatChunkOfFourteenBytesIsRefused) {
  const std::string fmt14 = FmtBasic(1, 1, 22050, 16).substr(0, 14);
  WaveReader r;
  EXPECT_EQ(Open(r, Riff(Chunk("fmt ", fmt14) + Chunk("data", Samples16(100, 1, 1000, 10)))), plat::kFail);
  EXPECT_EQ(r.file, nullptr);
  EXPECT_TRUE(r.format.empty());
}

TEST_F(WaveReaderTest, ANonPcmFormatWithTwoExtraBytesGivesATwentyByteFormat) {
  const std::string fmt = FmtBasic(2, 1, 22050, 4) + Le16(2) + std::string("\x07\x00", 2);
  WaveReader r;
  ASSERT_EQ(Open(r, Riff(Chunk("fmt ", fmt) + Chunk("data", std::string(64, '\x11')))), plat::kOk);
  ASSERT_EQ(r.format.size(), 20u);
  EXPECT_EQ(r.format[16], 2);
  EXPECT_EQ(r.format[17], 0);
  EXPECT_EQ(r.format[18], 7);
  EXPECT_EQ(r.format[19], 0);
  EXPECT_EQ(DecodeWaveFormat(r.format).formatTag, 2);
}

TEST_F(WaveReaderTest, ExtraFormatBytesMustLieInsideTheFormatChunk) {
  // It announces 40 extra bytes but the chunk holds 18 + 2.
  const std::string fmt = FmtBasic(2, 1, 22050, 4) + Le16(40) + std::string("\x07\x00", 2);
  WaveReader r;
  EXPECT_EQ(Open(r, Riff(Chunk("fmt ", fmt) + Chunk("data", std::string(64, '\x11')))), plat::kFail);
  // A non-PCM chunk of exactly 16 bytes has no room for the extra size.
  WaveReader r2;
  EXPECT_EQ(Open(r2, Riff(Chunk("fmt ", FmtBasic(3, 1, 22050, 32)) + Chunk("data", std::string(64, '\0')))),
            plat::kFail);
}

TEST_F(WaveReaderTest, OtherChunksAndOddSizesAreSkipped) {
  const std::string samples = Samples16(8, 1, 500, 2);
  const std::string file = Riff(Chunk("LIST", "abc") + Chunk("fmt ", FmtBasic(1, 1, 8000, 16)) +
                                Chunk("fact", "12345") + Chunk("data", samples) + Chunk("junk", "z"));
  WaveReader r;
  ASSERT_EQ(Open(r, file), plat::kOk);
  EXPECT_EQ(r.data.size, 16u);
  std::string got(16, '\0');
  EXPECT_EQ(WaveRead(r, got.data(), 16), 16u);
  EXPECT_EQ(got, samples);
}

TEST_F(WaveReaderTest, ARiffSizeBeyondTheFileIsHeldToTheFile) {
  std::string file = Pcm16(1, 22050, Samples16(50, 1, 100, 10));
  file.replace(4, 4, Le32(0xFFFFFFF0u));
  WaveReader r;
  ASSERT_EQ(Open(r, file), plat::kOk);
  EXPECT_EQ(r.data.size, 100u);
}

TEST_F(WaveReaderTest, BogusFilesAreRefused) {
  const std::string good = Pcm16(1, 22050, Samples16(50, 1, 100, 10));
  struct Case {
    const char* what;
    std::string bytes;
  };
  std::string notWave = good;
  notWave.replace(8, 4, "AVI ");
  std::string notRiff = good;
  notRiff.replace(0, 4, "RIFX");
  const std::vector<Case> cases = {
      {"empty", ""},
      {"text", "this is not a sound at all, just some words"},
      {"not WAVE", notWave},
      {"not RIFF", notRiff},
      {"no data chunk", Riff(Chunk("fmt ", FmtBasic(1, 1, 22050, 16)))},
      {"no fmt chunk", Riff(Chunk("data", Samples16(50, 1, 100, 10)))},
      {"data claims too much", Riff(Chunk("fmt ", FmtBasic(1, 1, 22050, 16)) + "data" + Le32(0x7FFFFFFF) + "abcd")},
      {"chunk size runs past everything", Riff("LIST" + Le32(0xFFFFFFFFu) + Chunk("fmt ", FmtBasic(1, 1, 8000, 16)))},
  };
  for (const Case& c : cases) {
    WaveReader r;
    EXPECT_EQ(Open(r, c.bytes), plat::kFail) << c.what;
    EXPECT_EQ(r.file, nullptr) << c.what;
  }
  WaveReader missing;
  EXPECT_EQ(WaveOpen(missing, "no such file.wav"), plat::kFail);
}

TEST_F(WaveReaderTest, EveryTruncationOfAValidFileIsRefused) {
  const std::string good = Riff(Chunk("LIST", "info") + Chunk("fmt ", FmtBasic(1, 2, 11025, 16)) +
                                Chunk("data", Samples16(20, 2, 3000, 6)));
  for (size_t length = 0; length < good.size(); ++length) {
    WaveReader r;
    EXPECT_EQ(Open(r, good.substr(0, length)), plat::kFail) << "length " << length;
  }
  WaveReader whole;
  EXPECT_EQ(Open(whole, good), plat::kOk);
}

TEST_F(WaveReaderTest, RandomChunkSizesNeverReadOutsideTheFile) {
  const std::string good = Riff(Chunk("fmt ", FmtBasic(1, 1, 22050, 16)) + Chunk("LIST", "abcdef") +
                                Chunk("data", Samples16(40, 1, 2000, 8)));
  // The offsets of the RIFF, fmt, LIST and data size fields.
  const size_t sizeFields[] = {4, 16, 40, 54};
  std::mt19937 random(20240611u);
  int accepted = 0;
  for (int round = 0; round < 2000; ++round) {
    std::string bytes = good;
    const int changes = 1 + static_cast<int>(random() % 3);
    for (int i = 0; i < changes; ++i) {
      const size_t at = sizeFields[random() % 4];
      uint32_t value = static_cast<uint32_t>(random());
      if (random() % 2) value %= 128;  // small sizes find the near misses
      bytes.replace(at, 4, Le32(value));
    }
    if (random() % 4 == 0) bytes.resize(random() % (bytes.size() + 1));
    WaveReader r;
    if (Open(r, bytes) < 0) continue;
    ++accepted;
    ASSERT_LE(r.data.dataOffset + r.data.size, r.fileBytes) << "round " << round;
    ASSERT_GE(r.format.size(), 18u);
    std::vector<uint8_t> all(r.data.size);
    EXPECT_EQ(WaveRead(r, all.data(), r.data.size), r.data.size) << "round " << round;
  }
  // Changes that leave a readable file exist (a larger RIFF size, a
  // smaller data size): some rounds must have been accepted.
  EXPECT_GT(accepted, 0);
}

}  // namespace
