// The map reader against arbitrary bytes: it must refuse or accept every
// input without a crash, a hang or a sanitizer report. Built as a libFuzzer
// program with clang (-DVD_FUZZ=ON); the test suite also drives it over a
// seeded corpus of damaged maps.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "world/map_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string why;
  // Lead units named by the cells are looked up among none: every id is unknown.
  StagedMapPtr staged = StageMapImage(std::span<const uint8_t>(data, size), [](uint32_t) { return nullptr; }, why);
  // A refusal always says why.
  if (!staged && why.empty()) __builtin_trap();
  return 0;
}
