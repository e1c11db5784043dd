#pragma once
// Builds WAV files byte by byte for the sound tests.
#include <cstdint>
#include <string>

namespace test_wav {

inline std::string Le16(uint16_t v) {
  return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

inline std::string Le32(uint32_t v) {
  return Le16(static_cast<uint16_t>(v & 0xFFFF)) + Le16(static_cast<uint16_t>(v >> 16));
}

// One chunk: id, size, contents and the pad byte of an odd size.
inline std::string Chunk(const std::string& id, const std::string& body) {
  std::string c = id + Le32(static_cast<uint32_t>(body.size())) + body;
  if (body.size() % 2) c.push_back('\0');
  return c;
}

inline std::string Riff(const std::string& chunks) {
  return "RIFF" + Le32(static_cast<uint32_t>(4 + chunks.size())) + "WAVE" + chunks;
}

// The 16 basic bytes of a format chunk.
inline std::string FmtBasic(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
  const uint16_t block = static_cast<uint16_t>(channels * bits / 8);
  return Le16(tag) + Le16(channels) + Le32(rate) + Le32(rate * block) + Le16(block) + Le16(bits);
}

// `frames` frames of 16-bit samples, every channel alike: a square wave of
// the amplitude with the period in frames, or a constant with period 0.
inline std::string Samples16(uint32_t frames, uint16_t channels, int16_t amplitude, uint32_t period) {
  std::string s;
  for (uint32_t i = 0; i < frames; ++i) {
    const int16_t v = period == 0 ? amplitude : ((i % period) < period / 2 ? amplitude : static_cast<int16_t>(-amplitude));
    for (uint16_t c = 0; c < channels; ++c) s += Le16(static_cast<uint16_t>(v));
  }
  return s;
}

// A 16-bit PCM WAV.
inline std::string Pcm16(uint16_t channels, uint32_t rate, const std::string& samples) {
  return Riff(Chunk("fmt ", FmtBasic(1, channels, rate, 16)) + Chunk("data", samples));
}

// A short mono tone of `ms` milliseconds at 22,050 Hz.
inline std::string Tone(uint32_t ms, int16_t amplitude = 8000) {
  return Pcm16(1, 22050, Samples16(22050 * ms / 1000, 1, amplitude, 50));
}

}  // namespace test_wav
