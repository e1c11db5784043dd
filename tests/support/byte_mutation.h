#pragma once
// The fuzz tests' damage to a valid file: one to four edits a round, each a
// flipped bit, a 32-bit word written over the bytes, a cut, or a run of
// random bytes let in. Seeded, so a failing round can be run again.
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

// `word` gives the word an overwrite writes (files whose counts and indices
// are small want small words more often than random ones).
template <typename WordFn>
void MutateBytes(std::vector<uint8_t>& m, std::mt19937& rng, WordFn word) {
  const int edits = 1 + static_cast<int>(rng() % 4);
  for (int e = 0; e < edits && !m.empty(); ++e) {
    const size_t at = rng() % m.size();
    switch (rng() % 4) {
      case 0:
        m[at] ^= static_cast<uint8_t>(1u << (rng() % 8));
        break;
      case 1: {
        const uint32_t w = word(rng);
        for (size_t k = 0; k < 4 && at + k < m.size(); ++k) m[at + k] = static_cast<uint8_t>(w >> (8 * k));
        break;
      }
      case 2:
        m.resize(at + 1);
        break;
      case 3:
        m.insert(m.begin() + static_cast<std::ptrdiff_t>(at), static_cast<size_t>(rng() % 64),
                 static_cast<uint8_t>(rng()));
        break;
    }
  }
}
