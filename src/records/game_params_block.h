#pragma once
// The game parameters a host hands to joining peers (message 0x20006): the
// game file to load and its flags. The world keeps one; a campaign step
// names the next scenario in it.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

inline constexpr uint32_t kGameParamsId = 0x20006;
inline constexpr uint32_t kGameParamsSize = 48;

// flags bits: the file is a saved game; the front end's game flag, which
// the game set-up (session message 104) copies to every peer's session.
inline constexpr uint32_t kGameParamsSavedGame = 1;
inline constexpr uint32_t kGameParamsFrontEndGame = 2;

struct GameParamsBlock {
  uint32_t id;     // 0: 0x20006
  uint32_t size;   // 4: 48
  char name[32];   // 8: at most 31 characters; empty for none
  uint32_t flags;  // 40
  uint32_t word44; // 44
};
static_assert(std::is_trivially_copyable_v<GameParamsBlock>);
static_assert(std::endian::native == std::endian::little, "the block is its own message image");
static_assert(sizeof(GameParamsBlock) == kGameParamsSize);
static_assert(offsetof(GameParamsBlock, name) == 8);
static_assert(offsetof(GameParamsBlock, flags) == 40);

// All zero but the id and size.
inline void InitGameParamsBlock(GameParamsBlock& block) {
  block = GameParamsBlock{};
  block.id = kGameParamsId;
  block.size = kGameParamsSize;
}
