#pragma once
// The head of the scenario and game-setup record: 140 bytes that travel to
// joining peers (message 0x20003) and are stored in every save game, so it
// is an image with fixed offsets, with the bits of its rule word.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

inline constexpr uint32_t kScenarioHeadId = 0x20003;
inline constexpr uint32_t kScenarioHeadSize = 140;

// gameFlags bits this code reads.
// Fog of war: the spotting map is kept and limits what is seen. Rule bit 0;
// was kRuleFog.
inline constexpr uint32_t kGameFlagFog = 1u << 0;
// Each unit decides which players see it (its seenBy mask). Rule bit 4; was
// kRuleOwnSight.
inline constexpr uint32_t kGameFlagUnitSight = 1u << 4;
inline constexpr uint32_t kGameFlagKeepObsoleteClasses = 0x2000;
inline constexpr uint32_t kGameFlagFromSave = 1u << 31;        // the running game came from a save
inline constexpr uint32_t kGameFlagCampaign = 1u << 28;        // a campaign game
// The definition's "campaignstart:": the scenario opens a campaign.
inline constexpr uint32_t kCampaignStartFlag = 1u;
inline constexpr uint32_t kGameFlagCarryOver = 1u << 27;       // a campaign carry-over waits for log-on
inline constexpr uint32_t kGameFlagLoyaltyMerge = 1u << 19;    // preset surrenders merge loyalties
inline constexpr uint32_t kGameFlagResearchMerge = 1u << 20;   // preset surrenders merge research
inline constexpr uint32_t kGameFlagNoCapitalMove = 1u << 9;
inline constexpr uint32_t kGameFlagCheated = 1u << 6;
inline constexpr uint32_t kGameFlagNoWeaponRangeBoost = 1u << 3;  // short weapon ranges are not boosted
// Stock classes burn their full rate. Was kRuleNoStockRangeEasing.
inline constexpr uint32_t kGameFlagNoStockRangeEasing = 1u << 5;
// The end-of-game popup offers no observing of the game left behind.
inline constexpr uint32_t kGameFlagHidesObserve = 1u << 18;

struct ScenarioHead {
  uint32_t id;    // 0: 0x20003
  uint32_t size;  // 4: 140
  uint8_t bytes8[52];
  uint32_t commandLead;     // 60: ticks between posting a command and running it
  uint32_t speedLockMode;   // 64: copied into the game state at log-on
  uint32_t setupWord;       // 68: an interface option, copied likewise
  uint8_t player0Setting;   // 72: 1 leaves player 0 out of a new game
  uint8_t svictorycond;     // 73: the victory kind
  uint8_t difficulty;       // 74
  uint8_t resources;        // 75: the stock setting
  uint8_t gamelength;       // 76
  uint8_t techtreedefault;  // 77
  uint8_t bytes78[2];
  uint32_t gameFlags;       // 80: the scenario's rule switches
  int32_t startyear;        // 84
  int32_t turnlength;       // 88
  uint8_t bytes92[8];
  uint8_t initialfunds;     // 100: the money setting
  uint8_t reservelimit;     // 101
  uint8_t aistance;         // 102
  uint8_t bytes103[9];
  uint8_t groupnum;         // 112: the chosen start preset (grouping), 0 none
  uint8_t bytes113[7];
  uint32_t programVersion;  // 120
  uint8_t bytes124[16];
};
static_assert(std::is_trivially_copyable_v<ScenarioHead>);
static_assert(std::endian::native == std::endian::little, "the scenario head is its own message image");
static_assert(sizeof(ScenarioHead) == kScenarioHeadSize);
static_assert(offsetof(ScenarioHead, size) == 4);
static_assert(offsetof(ScenarioHead, commandLead) == 60);
static_assert(offsetof(ScenarioHead, speedLockMode) == 64);
static_assert(offsetof(ScenarioHead, setupWord) == 68);
static_assert(offsetof(ScenarioHead, player0Setting) == 72);
static_assert(offsetof(ScenarioHead, svictorycond) == 0x49);
static_assert(offsetof(ScenarioHead, difficulty) == 0x4a);
static_assert(offsetof(ScenarioHead, resources) == 75);
static_assert(offsetof(ScenarioHead, gamelength) == 0x4c);
static_assert(offsetof(ScenarioHead, techtreedefault) == 0x4d);
static_assert(offsetof(ScenarioHead, gameFlags) == 80);
static_assert(offsetof(ScenarioHead, startyear) == 0x54);
static_assert(offsetof(ScenarioHead, turnlength) == 0x58);
static_assert(offsetof(ScenarioHead, initialfunds) == 100);
static_assert(offsetof(ScenarioHead, reservelimit) == 0x65);
static_assert(offsetof(ScenarioHead, aistance) == 0x66);
static_assert(offsetof(ScenarioHead, groupnum) == 0x70);
static_assert(offsetof(ScenarioHead, programVersion) == 120);
