#pragma once
// A region's settings: relation masks, taxes, spending, migration, military
// settings, rules of engagement, products, the other regions and the
// cabinet. Every region record holds it twice, the copy the interface shows
// and changes at once and the copy the simulation uses, so its 5,024 bytes
// are part of the region record's file image. Bytes nobody here names belong
// to the settings code and travel as they stand.
#include <cstddef>
#include <cstdint>
#include <type_traits>

struct ProductPolicy {
  uint8_t bytes[64]{};
};
struct RegionPolicy {  // the settings toward one other region
  uint8_t bytes[96]{};
};
struct CabinetPolicy {
  uint8_t bytes[16]{};
};

inline constexpr int kTaxRates = 12;
inline constexpr int kSocialPrograms = 7;
inline constexpr int kPolicyProducts = 12;
inline constexpr int kPolicyRegions = 32;
inline constexpr int kCabinetPosts = 6;

struct PlayerPolicyBlock {
  uint32_t word0{};
  uint32_t friendlyMask{};  // 4: bit p for player p
  uint32_t hostileMask{};   // 8
  uint32_t pointerSlot12{}; // 12: a pointer word, 0 in a new record
  float immlimit{};         // 16
  float refuglimit{};       // 20
  float emlimit{};          // 24
  uint8_t bytes28[16]{};
  uint32_t migrationFlags{};  // 44
  float taxRates[kTaxRates]{};  // 48
  float userfees{};           // 96
  float immigrationtax{};     // 100
  uint8_t bytes104[56]{};
  float uispend{};            // 160
  float welfspend{};          // 164
  float pensspend{};          // 168
  float socialspend[kSocialPrograms]{};  // 172
  uint8_t bytes200[12]{};
  float budgetBalance{};      // 212: revenue less spending, recomputed with the totals
  float budgetRevenue{};      // 216
  float budgetSpending{};     // 220
  uint8_t bytes224[16]{};
  float wagepricemax{};       // 240
  float minwage{};            // 244
  uint32_t wageFlags{};       // 248
  int32_t defcon{};           // 252
  float soldiertarget{};      // 256
  float recruitlimit{};       // 260
  uint8_t soldierminage{};    // 264
  uint8_t bytes265[3]{};
  float milspendsalary{};     // 268
  float milspendmaint{};      // 272
  float milspendintel{};      // 276
  float milspendresearch{};   // 280
  float readinessValue{};     // 284
  uint8_t bytes288[4]{};
  float milResearch[3]{};     // 292
  uint32_t defsetadvorders[2]{};   // 304
  uint8_t autobuildvalues[2]{};    // 312
  uint8_t autobuildmissiles[2]{};  // 314
  uint8_t bytes316[16]{};
  uint32_t militaryFlags{};   // 332
  uint8_t religionstate{};    // 336
  uint8_t religionofftol{};   // 337
  uint8_t bytes338[2]{};
  ProductPolicy productPolicy[kPolicyProducts]{};  // 340
  uint32_t productionFlags{};  // 1108
  uint8_t bytes1112[64]{};
  uint32_t roeFlags{};         // 1176
  uint32_t roescorchedtype{};  // 1180
  uint8_t milinitiativeoff{};  // 1184
  uint8_t milinitiativedef{};  // 1185
  uint8_t bytes1186[2]{};
  float intelspendforfocus{};  // 1188
  RegionPolicy regionPolicy[kPolicyRegions]{};  // 1192
  uint8_t bytes4264[512]{};
  CabinetPolicy cabinetPolicy[kCabinetPosts]{};  // 4776
  uint8_t bytes4872[20]{};
  uint32_t ceasefireMask{};    // 4892
  uint8_t bytes4896[4]{};
  uint32_t pointerSlots4900[3]{};  // 4900: pointer words, 0 in a new record
  uint8_t bytes4912[112]{};
};
static_assert(std::is_trivially_copyable_v<PlayerPolicyBlock>);
static_assert(sizeof(PlayerPolicyBlock) == 5024);
static_assert(sizeof(PlayerPolicyBlock) == 1256 * 4);
static_assert(offsetof(PlayerPolicyBlock, friendlyMask) == 4);
static_assert(offsetof(PlayerPolicyBlock, hostileMask) == 8);
static_assert(offsetof(PlayerPolicyBlock, pointerSlot12) == 12);
static_assert(offsetof(PlayerPolicyBlock, immlimit) == 16);
static_assert(offsetof(PlayerPolicyBlock, refuglimit) == 20);
static_assert(offsetof(PlayerPolicyBlock, emlimit) == 24);
static_assert(offsetof(PlayerPolicyBlock, migrationFlags) == 44);
static_assert(offsetof(PlayerPolicyBlock, taxRates) == 48);
static_assert(offsetof(PlayerPolicyBlock, userfees) == 96);
static_assert(offsetof(PlayerPolicyBlock, immigrationtax) == 100);
static_assert(offsetof(PlayerPolicyBlock, uispend) == 160);
static_assert(offsetof(PlayerPolicyBlock, welfspend) == 164);
static_assert(offsetof(PlayerPolicyBlock, pensspend) == 168);
static_assert(offsetof(PlayerPolicyBlock, socialspend) == 172);
static_assert(offsetof(PlayerPolicyBlock, budgetBalance) == 212);
static_assert(offsetof(PlayerPolicyBlock, budgetRevenue) == 216);
static_assert(offsetof(PlayerPolicyBlock, budgetSpending) == 220);
static_assert(offsetof(PlayerPolicyBlock, wagepricemax) == 240);
static_assert(offsetof(PlayerPolicyBlock, minwage) == 244);
static_assert(offsetof(PlayerPolicyBlock, wageFlags) == 248);
static_assert(offsetof(PlayerPolicyBlock, defcon) == 252);
static_assert(offsetof(PlayerPolicyBlock, soldiertarget) == 256);
static_assert(offsetof(PlayerPolicyBlock, recruitlimit) == 260);
static_assert(offsetof(PlayerPolicyBlock, soldierminage) == 264);
static_assert(offsetof(PlayerPolicyBlock, milspendsalary) == 268);
static_assert(offsetof(PlayerPolicyBlock, milspendmaint) == 272);
static_assert(offsetof(PlayerPolicyBlock, milspendintel) == 276);
static_assert(offsetof(PlayerPolicyBlock, milspendresearch) == 280);
static_assert(offsetof(PlayerPolicyBlock, readinessValue) == 284);
static_assert(offsetof(PlayerPolicyBlock, milResearch) == 292);
static_assert(offsetof(PlayerPolicyBlock, defsetadvorders) == 304);
static_assert(offsetof(PlayerPolicyBlock, autobuildvalues) == 312);
static_assert(offsetof(PlayerPolicyBlock, autobuildmissiles) == 314);
static_assert(offsetof(PlayerPolicyBlock, militaryFlags) == 332);
static_assert(offsetof(PlayerPolicyBlock, religionstate) == 336);
static_assert(offsetof(PlayerPolicyBlock, religionofftol) == 337);
static_assert(offsetof(PlayerPolicyBlock, productPolicy) == 340);
static_assert(offsetof(PlayerPolicyBlock, productionFlags) == 1108);
static_assert(offsetof(PlayerPolicyBlock, roeFlags) == 1176);

// roeFlags: which special stock a carrier may launch at its target. Bit 1
// lets it launch classes of special weapons (kClassSpecialWeaponA or B),
// bit 2 classes of the first special kind (kClassSpecialImmune).
inline constexpr uint32_t kRoeLaunchSpecialWeapons = 1u << 1;    // was kAutoLaunchSpecial
inline constexpr uint32_t kRoeLaunchFirstSpecialKind = 1u << 2;  // was kAutoLaunchImmune
// An alarm on any entry: the region's computer player hears of units of
// other regions on its hexes whatever the relation, not only of enemies.
inline constexpr uint32_t kRoeAlarm = 1u << 3;
// Where the region's units may go: the hexes of its access grants, of
// everyone else, of its enemies, and unowned hexes.
inline constexpr uint32_t kRoeGranted = 1u << 5;
inline constexpr uint32_t kRoeOthers = 1u << 6;
inline constexpr uint32_t kRoeAtWar = 1u << 7;
inline constexpr uint32_t kRoeUnowned = 1u << 8;  // was kRoeUnownedOthers
// Ships keep out of unowned hexes: the entry rights, the carried units and
// the dispersal all read it so.
inline constexpr uint32_t kRoeNoUnownedSea = 1u << 10;
// Units above movement type 5 (the air) may enter, and be set down in, any
// hex. Was kRoeOwnRules.
inline constexpr uint32_t kRoeEnterAnywhere = 1u << 11;

// wageFlags: the wage switches, membership of the world body (its market),
// and the world-bank loans.
inline constexpr uint32_t kWageMedical = 1u << 1;  // was kMedical
// A member of the world body, which the world-market command joins and
// leaves and the daily accounts charge dues for. Was kWorldMarketMember.
inline constexpr uint32_t kWorldBodyMember = 1u << 2;
// A loan or a repayment waits for its command; the region has borrowed. Were
// kLoanWaitingBit, kRepayWaitingBit and kBorrowedBit too.
inline constexpr uint32_t kLoanWaiting = 1u << 5;
inline constexpr uint32_t kRepayWaiting = 1u << 6;
inline constexpr uint32_t kHasTakenLoan = 1u << 7;
// A join or leave of the world body waits for its command (the display
// copy). Was kWorldMarketJoinWaiting.
inline constexpr uint32_t kWorldBodyJoinWaiting = 1u << 8;

// militaryFlags.
inline constexpr uint32_t kMilitaryConscript = 1u << 0;  // conscription; was kConscript and kConscription
inline constexpr uint32_t kMilitaryCoed = 1u << 1;       // women serve too; was kCoed and kWomenConscripted
inline constexpr uint32_t kMilitaryUnitAutoBuild = 1u << 3;  // bunitautobuild: the computer builds the units
inline constexpr uint32_t kMilitaryMissileAutoBuild = 1u << 4;  // bmissilesautobuild: and the missiles
static_assert(offsetof(PlayerPolicyBlock, roescorchedtype) == 1180);
static_assert(offsetof(PlayerPolicyBlock, milinitiativeoff) == 1184);
static_assert(offsetof(PlayerPolicyBlock, milinitiativedef) == 1185);
static_assert(offsetof(PlayerPolicyBlock, intelspendforfocus) == 1188);
static_assert(offsetof(PlayerPolicyBlock, regionPolicy) == 1192);
static_assert(offsetof(PlayerPolicyBlock, cabinetPolicy) == 4776);
static_assert(offsetof(PlayerPolicyBlock, ceasefireMask) == 4892);
static_assert(offsetof(PlayerPolicyBlock, pointerSlots4900) == 4900);
