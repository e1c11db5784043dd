// Runs the map reader's fuzz entry over a corpus made from a valid map with
// labels: every truncation, and seeded runs of byte flips, word rewrites,
// splices and insertions. Under the sanitizer build any overread shows.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "world/hex_extra.h"
#include "world/map_data.h"
#include "world/map_file.h"
#include "world/world.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<uint8_t> ValidMapWithLabels() {
  World& w = g_world;
  EXPECT_EQ(LoadNewWorld(12, 8), 0);
  const char* names[] = {"Harbour", "North Cape", "Ridge"};
  for (int i = 0; i < 3; ++i) {
    HexExtra* extra = GetHexExtra(w, w.cells[static_cast<size_t>(i * 13)]);
    extra->text = strdup(names[i]);
  }
  std::vector<uint8_t> image = BuildMapImage(w, false);
  FreeMapData(w);
  return image;
}

TEST(MapReaderFuzz, DamagedMapsAreRefusedOrReadWithoutFault) {
  const std::vector<uint8_t> valid = ValidMapWithLabels();
  ASSERT_GT(valid.size(), 1024u);
  std::string why;
  ASSERT_TRUE(StageMapImage(valid, [](uint32_t) { return nullptr; }, why)) << why;

  for (size_t n = 0; n < valid.size(); ++n) LLVMFuzzerTestOneInput(valid.data(), n);

  std::mt19937 rng(0x5EED);
  for (int round = 0; round < 4000; ++round) {
    std::vector<uint8_t> m = valid;
    const int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits; ++e) {
      const size_t at = rng() % m.size();
      switch (rng() % 4) {
        case 0:
          m[at] ^= static_cast<uint8_t>(1u << (rng() % 8));
          break;
        case 1: {
          const uint32_t word = static_cast<uint32_t>(rng());
          for (size_t k = 0; k < 4 && at + k < m.size(); ++k) m[at + k] = static_cast<uint8_t>(word >> (8 * k));
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
      if (m.empty()) break;
    }
    LLVMFuzzerTestOneInput(m.data(), m.size());
  }
}

}  // namespace
