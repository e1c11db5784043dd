// Fixed records made without an initialiser start as zeros: a record made
// over memory that held something else keeps none of it.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "records/hex_cell.h"
#include "records/path_request.h"
#include "records/player_policy.h"
#include "records/player_record.h"
#include "records/unit_record.h"

namespace {

// Makes T default-initialised over bytes of 0xA5 and returns its first
// `image` bytes.
template <typename T>
std::vector<uint8_t> MadeOverGarbage(size_t image = sizeof(T)) {
  alignas(T) static uint8_t storage[sizeof(T)];
  std::memset(storage, 0xA5, sizeof storage);
  T* made = new (storage) T;
  std::vector<uint8_t> bytes(storage, storage + image);
  made->~T();
  return bytes;
}

TEST(FixedRecords, StartZeroed) {
  const struct {
    const char* name;
    std::vector<uint8_t> (*make)();
  } rows[] = {
      {"UnitRecord", [] { return MadeOverGarbage<UnitRecord>(sizeof(UnitImage)); }},
      {"UnitImage", [] { return MadeOverGarbage<UnitImage>(); }},
      {"OrderBlock", [] { return MadeOverGarbage<OrderBlock>(); }},
      {"PlayerRecord", [] { return MadeOverGarbage<PlayerRecord>(); }},
      {"PlayerPolicyBlock", [] { return MadeOverGarbage<PlayerPolicyBlock>(); }},
      {"PathRequestImage", [] { return MadeOverGarbage<PathRequestImage>(); }},
      {"PathRequest", [] { return MadeOverGarbage<PathRequest>(sizeof(PathRequestImage)); }},
      {"HexCellImage", [] { return MadeOverGarbage<HexCellImage>(); }},
  };
  for (const auto& row : rows) {
    const std::vector<uint8_t> bytes = row.make();
    EXPECT_EQ(bytes, std::vector<uint8_t>(bytes.size(), 0)) << row.name;
  }
}

}  // namespace
