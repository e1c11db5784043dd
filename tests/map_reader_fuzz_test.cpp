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
#include "support/byte_mutation.h"

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
    MutateBytes(m, rng, [](std::mt19937& r) { return static_cast<uint32_t>(r()); });
    LLVMFuzzerTestOneInput(m.data(), m.size());
  }
}

}  // namespace
