#pragma once
// WAV files: a RIFF file of form "WAVE" with a "fmt " chunk (the sound's
// format) and a "data" chunk (the samples), read the way the sound effects
// need them: the format record whole, then the samples in pieces.
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

#include "platform/audio_device.h"
#include "platform/status.h"

// Where a chunk's contents lie in the file.
struct RiffChunk {
  uint32_t id = 0;
  uint32_t size = 0;
  uint32_t formType = 0;    // RIFF chunks only
  uint64_t dataOffset = 0;  // first byte after the chunk's header
};

// Four characters as a chunk id ("RIFF", "fmt ").
constexpr uint32_t FourCc(const char (&s)[5]) {
  return static_cast<uint32_t>(static_cast<uint8_t>(s[0])) |
         static_cast<uint32_t>(static_cast<uint8_t>(s[1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(s[2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(s[3])) << 24;
}

// The format record as the file holds it, little-endian: tag, channels,
// rate, bytes per second, block size, bits per sample, then the size of the
// extra bytes that follow (0 for PCM) and those bytes.
inline constexpr size_t kWaveFormatRecordBytes = 18;

class WaveReader {
 public:
  WaveReader() = default;
  ~WaveReader();
  WaveReader(const WaveReader&) = delete;
  WaveReader& operator=(const WaveReader&) = delete;

  std::vector<uint8_t> format;  // the format record, 18 bytes + its extra bytes
  FILE* file = nullptr;
  RiffChunk data;
  RiffChunk riff;
  uint32_t remaining = 0;  // bytes of the data chunk not yet read
  uint64_t fileBytes = 0;
};

// Opens a WAV file by its game path, reads its format and finds its samples
// (WaveReadHeader, then WaveRewind). kFail, with the file closed, when it
// cannot be opened, is not RIFF/WAVE, has no "fmt " chunk of at least 16
// bytes (or too short for the extra bytes it announces), no "data" chunk, or
// a data chunk that runs past the end of the file.
plat::Status WaveOpen(WaveReader& reader, std::string_view gamePath);
// Reads the format record (the file's first chunk must be RIFF/WAVE).
plat::Status WaveReadHeader(WaveReader& reader);
// Finds the data chunk inside the RIFF chunk and goes to its start.
plat::Status WaveRewind(WaveReader& reader);
// Reads up to n bytes of samples; returns how many were read (fewer at the
// end of the data chunk).
uint32_t WaveRead(WaveReader& reader, void* destination, uint32_t n);
void WaveClose(WaveReader& reader);

// The format record in the platform's terms.
plat::WaveFormat DecodeWaveFormat(const std::vector<uint8_t>& record);
