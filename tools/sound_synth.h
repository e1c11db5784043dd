#pragma once
// The game's sound effects, made from nothing: short tones and noises,
// numbered like the game asks for them ("SOUNDS\UI\%03d.WAV" 1 to 31 and
// "SOUNDS\Military\%03d.WAV" 1 to 127), as mono 16-bit PCM WAV files.
// Integer arithmetic and a seeded noise generator only, so every build
// writes the same bytes.
#include <cstdint>
#include <string>
#include <vector>

namespace sound_synth {

inline constexpr int kUiSounds = 31;
inline constexpr int kMilitarySounds = 127;
inline constexpr uint32_t kSampleRate = 22050;

// The samples of interface sound n (1 to 31) and military sound n (1 to 127).
std::vector<int16_t> SynthUi(int n);
std::vector<int16_t> SynthMilitary(int n);

// A WAV file of mono 16-bit samples: RIFF, a 16-byte "fmt " chunk, "data".
std::vector<uint8_t> EncodeWav(const std::vector<int16_t>& samples, uint32_t rate);

// Writes every sound under the data root's SOUNDS folder; false (with a
// message on stderr) when a file cannot be written.
bool WriteAllSounds(const std::string& dataRoot);

}  // namespace sound_synth
