#pragma once
// One region (player): its kind, number and name, its settings twice, its
// economy, society, diplomacy and military state and its counters. The
// record is stored byte for byte in game files and in the save game's
// snapshot, so the struct is the 14,584-byte image, little-endian. Pointer
// words of the record are 32-bit slots (0 in a new record); copies move them
// as they stand. Bytes nobody here names belong to the code that computes
// them.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "records/player_kinds.h"
#include "records/player_policy.h"

inline constexpr int kMaxPlayers = 32;
inline constexpr uint32_t kPlayerRecordSize = 14584;
inline constexpr int kProductCount = 11;

struct ProductState {
  uint8_t bytes[96]{};
};

// A product's state: 24 words, all reals but one flags word. The
// struct is the one layout of these bytes; the offsets below and the
// product economy's field names are taken from it.
struct ProductStateLayout {
  float productivity;    // 0: the value factor of other rules
  float baseLevel;       // 4: what the productivity is measured against
  float stock;           // 8
  float price;           // 12: the region's own price
  float output;          // 16
  float demand;          // 20: yearly
  float production;      // 24: yearly
  float consumption;     // 28: yearly
  float fuelDemand;      // 32
  float fuelGranted;     // 36
  float lastDayUse;      // 40
  float lastDayDemand;   // 44
  float rawOutput;       // 48
  float cityOutput;      // 52
  uint32_t productFlags2;  // 56: bit 0 held back by its inputs
  float forSale;         // 60: offered on the world market
  float askPrice;        // 64
  float autoWanted;      // 68: bought automatically
  float perCapitaUse;    // 72
  float consumerDemand;  // 76
  float unitCost;        // 80: the ceiling on the price it sells at; the upkeep's unit cost of supply
  float lastTurnTotal;   // 84
  float dayUse;          // 88: what the stock handed to the region's units this day
  float dayDemand;       // 92: what they asked of it
};
static_assert(sizeof(ProductStateLayout) == sizeof(ProductState));
static_assert(offsetof(ProductStateLayout, productFlags2) == 56 && offsetof(ProductStateLayout, dayDemand) == 92);

// The same places under the names other rules know them by.
inline constexpr size_t kProductEfficiencyAt = offsetof(ProductStateLayout, productivity);  // also kRowFactorAt
inline constexpr size_t kProductBaseEfficiencyAt = offsetof(ProductStateLayout, baseLevel);
inline constexpr size_t kProductStockAt = offsetof(ProductStateLayout, stock);
inline constexpr size_t kProductRegionPriceAt = offsetof(ProductStateLayout, price);
inline constexpr size_t kProductOutputAt = offsetof(ProductStateLayout, output);  // also kRowAmountAt
inline constexpr size_t kProductDemandAt = offsetof(ProductStateLayout, demand);  // also kRowSecondAmountAt
inline constexpr size_t kProductProductionAt = offsetof(ProductStateLayout, production);
inline constexpr size_t kProductConsumptionAt = offsetof(ProductStateLayout, consumption);
inline constexpr size_t kProductLastDayUseAt = offsetof(ProductStateLayout, lastDayUse);
inline constexpr size_t kProductFlags2At = offsetof(ProductStateLayout, productFlags2);
inline constexpr size_t kProductForSaleAt = offsetof(ProductStateLayout, forSale);
inline constexpr size_t kProductAskPriceAt = offsetof(ProductStateLayout, askPrice);
inline constexpr size_t kProductAutoWantedAt = offsetof(ProductStateLayout, autoWanted);
inline constexpr size_t kProductDemandPerPersonAt = offsetof(ProductStateLayout, perCapitaUse);
inline constexpr size_t kProductPriceLimitAt = offsetof(ProductStateLayout, unitCost);
inline constexpr size_t kProductDeliveredAt = offsetof(ProductStateLayout, dayUse);
inline constexpr size_t kProductAskedAt = offsetof(ProductStateLayout, dayDemand);

struct PlayerRecord {
  int32_t kind{};            // 0: PlayerKind
  uint8_t number{};          // 4: the player's own index
  uint8_t govtype{};         // 5
  uint8_t successor{};       // 6: the player that inherits the region's units, 0 none
  uint8_t agenda{};          // 7
  char name[16]{};           // 8: at most 15 characters
  int32_t hexCount{};        // 24
  uint8_t bytes28[11]{};
  uint8_t rulingParty{};     // 39
  uint8_t avatar{};          // 40
  int8_t politic{};          // 41
  uint8_t aiStance{};        // 42
  uint8_t music{};           // 43
  uint32_t classMask{};      // 44: matched against the class masks of the designs the region may have
  uint32_t pointerSlot48{};  // 48: a pointer word
  uint32_t electionDay{};    // 52
  uint32_t flags56{};        // 56: a second flags word (kPlayerLaunchAuthorised)
  uint8_t timeoutVictory{};  // 60
  uint8_t lossForceEnd{};    // 61
  uint16_t startEmail{};     // 62
  uint32_t armsAvail{};      // 64
  float partyShare[4]{};     // 68
  uint8_t bytes84[36]{};
  PlayerPolicyBlock displayPolicy{};  // 120: what the interface shows and changes at once
  PlayerPolicyBlock simPolicy{};      // 5144: what the simulation uses
  float gdpInput1{};         // 10168
  float gdpInput2{};         // 10172
  float standing{};          // 10176
  float gdpInput9{};         // 10180
  float gdpInput10{};        // 10184
  float approval{};          // 10188
  float secondRating{};      // 10192
  // The committed yearly costs of the region's forces and facilities.
  float yearlyCostFacilities{};  // 10196
  float yearlyCostHexLead{};     // 10200
  float yearlyCostC{};           // 10204
  float yearlyCostD{};           // 10208
  float gdpInput3{};         // 10212
  float tradeOpenness{};     // 10216: the world-market share the region pages show
  float creditRating{};      // 10220
  float gdpInput4{};         // 10224
  float gdpInput5{};         // 10228
  uint8_t bytes10232[20]{};
  float gdpInput6{};         // 10252
  float gdpInput7{};         // 10256
  uint8_t bytes10260[12]{};
  float efficiency{};        // 10272
  float population{};        // 10276
  uint8_t bytes10280[24]{};
  float soldiers{};          // 10304: the reserve pool, the soldiers not in units on the map
  float unemployment{};      // 10308
  float volunteersPerYear{}; // 10312
  float conscriptsPerYear{}; // 10316
  float immigrationPerYear{};  // 10320
  float emigrationPerYear{};   // 10324
  float birthsPerYear{};       // 10328
  float deathsPerYear{};       // 10332
  float ruralPopulation{};     // 10336
  uint8_t bytes10340[12]{};
  float treasury{};          // 10352
  float debtKind0{};         // 10356
  float heldDebt{};          // 10360
  float debtKind1{};         // 10364
  float debtKind2{};         // 10368
  // The monthly payments a new game schedules: their yearly sum, the sum
  // scheduled so far, the rate they carry and the region's item numbering.
  float monthlyYearlyAmount{};   // 10372
  float scheduledTotal{};        // 10376
  float monthlyRate{};           // 10380
  int16_t itemSerial{};          // 10384
  uint8_t bytes10386[78]{};
  float socialCosts[kSocialPrograms]{};  // 10464: the social programmes' costs
  uint8_t bytes10492[28]{};
  float gdp{};               // 10520
  float gdpPerCapita{};      // 10524
  float baseGdpPerCapita{};  // 10528
  uint8_t bytes10532[4]{};
  float priceIndex{};        // 10536
  float growthRate{};        // 10540
  float costFactor{};        // 10544
  float serviceAdd{};        // 10548
  uint8_t bytes10552[16]{};
  float researchBudget{};    // 10568: yearly military research cost at spending level 1.0
  uint8_t bytes10572[12]{};
  float militarySpendIndex{};  // 10584: the forces' alert level (readiness), drifting with the alert and spending
  uint8_t bytes10588[4]{};
  float techLevel{};         // 10592
  uint8_t bytes10596[12]{};
  // Yearly cost of the forces at level 1.0 of their spending settings;
  // wages before the government type's salary factor.
  float salaryBaseCost{};       // 10608
  float maintenanceBaseCost{};  // 10612
  float intelBaseCost{};        // 10616
  float researchEfficiency{};  // 10620
  uint8_t bytes10624[108]{};
  ProductState products[kProductCount]{};  // 10732
  uint8_t bytes11788[192]{};
  float socialLevels[kSocialPrograms]{};  // 11980
  uint8_t bytes12008[180]{};
  uint32_t specialEffects{};  // 12188: bit n from a known technology with effect 200 + n
  uint8_t bytes12192[4]{};
  float smallFigure{};        // 12196: read through GetSmallFloatOrZero
  uint8_t bytes12200[32]{};
  float spottingLevel{};      // 12232
  uint8_t bytes12236[12]{};
  float importValue{};        // 12248
  float exportValue{};        // 12252
  uint8_t bytes12256[32]{};
  float scoreSums[6]{};       // 12288
  uint16_t unitCounts[8]{};   // 12312: the region's forces by kind
  uint16_t rankCountR1{};     // 12328: the two counts that pick the day's leaders
  uint16_t rankCountR2{};     // 12330
  float statValues[10]{};     // 12332: indexes 4 to 9 decide the statistic victories
  uint32_t commandCounter{};  // 12372: stamps the player's commands
  uint8_t bytes12376[28]{};
  uint8_t bandPicks[3]{};     // 12404: the party named for each band (left, centre, right)
  uint8_t otherPartyPick{};   // 12407: the party named for the fourth band
  uint8_t bytes12408[168]{};
  // Yesterday's values, kept by the daily driver: approval, second rating,
  // standing and credit rating, the land count, the GDP per head and the
  // simulation alert level.
  float yesterdayTotals[4]{};     // 12576
  int32_t yesterdayHexCount{};    // 12592
  float yesterdayGdpPerCapita{};  // 12596
  int32_t yesterdayDefcon{};      // 12600
  uint32_t dayWord{};             // 12604: the computer player's daily progress, cleared at the end of each daily pass
  uint8_t bytes12608[356]{};
  int16_t pendingCommands{};  // 12964: executed on the display copy, not yet on the simulation copy
  uint8_t bytes12966[58]{};
  float dayApproval{};        // 13024
  float daySecondRating{};    // 13028
  int32_t dayHexCount{};      // 13032
  uint8_t bytes13036[20]{};
  float dayPopulation{};      // 13056
  float dayLeadValue{};       // 13060
  float dayRuralPopulation{}; // 13064
  float turnSalesRevenue{};   // 13068
  float turnPurchaseCost{};   // 13072
  float turnBuildSpending{};  // 13076
  uint8_t bytes13080[24]{};
  float turnUnpaidBuildCost{};  // 13104
  uint8_t bytes13108[8]{};
  float turnDefaulted{};      // 13116
  float turnProductTotals[12]{};  // 13120
  int16_t turnBestHex[2]{};   // 13168: the same word is a pointer word, 0 in a new record
  float turnBestHexValue{};   // 13172
  uint8_t bytes13176[60]{};
  float turnUpkeepMarked{};   // 13236
  float turnUpkeepOther{};    // 13240
  float dayProduction[kProductCount]{};  // 13244
  uint8_t bytes13288[52]{};
  float dayPopulationOutput[kProductCount]{};  // 13340
  uint8_t bytes13384[4]{};
  float dayRawYield[kProductCount]{};  // 13388
  uint8_t bytes13432[4]{};
  float dayInterestReceived{};  // 13436
  float dayInterestPaid{};      // 13440
  uint8_t bytes13444[32]{};  // 13444: the unit code's training total among them
  // Turn and day figures of other steps that the turn save and the daily
  // alerts read, then what the turn save keeps of the last turn. The eight
  // further figures are the turn's sales revenue, purchase cost, automatic
  // purchases, automatic sales and two further turn sums, then two spare.
  float turnAmountC{};              // 13476
  float dayAlertValueB{};           // 13480: cleared by the day commit
  float lastTurnBuildSpending{};    // 13484
  float lastTurnUnpaidBuildCost{};  // 13488
  float lastTurnAmountC{};          // 13492
  float lastTurnUpkeepMarked{};     // 13496
  float lastTurnUpkeepOther{};      // 13500
  float lastTurnDefaulted{};        // 13504
  float lastTurnFigures[8]{};       // 13508
  // The daily hex pass's census and running costs of the day, and the
  // committed values that have no place elsewhere. The census arrays are
  // indexed by the facility's type (0 to 2).
  float dayYearlyCostFacilities{};   // 13540
  float dayYearlyCostHexLead{};      // 13544
  float dayPortCapacity{};           // 13548
  float leadValue{};                 // 13552: committed from dayLeadValue
  uint16_t portCapacity{};           // 13556: committed from dayPortCapacity
  uint8_t dayKind2Count{};           // 13558
  uint8_t dayKind2IdleCount{};       // 13559
  uint16_t dayCensusCapacityA[3]{};  // 13560
  uint16_t dayCensusCapacityB[3]{};  // 13566
  uint16_t dayCensusCrew[3]{};       // 13572
  uint8_t bytes13578[2]{};
  // Each cabinet post's state: its minister's job approval and concern (0
  // to 1), the priorities the post recommends and a second word no rule
  // reads yet.
  float cabinetApproval[6]{};           // 13580
  float cabinetConcern[6]{};            // 13604
  uint32_t recommendedPriorities[6]{};  // 13628
  uint32_t cabinetStateWord[6]{};       // 13652
  uint8_t bytes13676[24]{};
  float civilAttitude[kMaxPlayers]{};       // 13700
  float diplomaticRelation[kMaxPlayers]{};  // 13828
  float belligerence[kMaxPlayers]{};        // 13956
  uint8_t bytes14084[416]{};
  char slotName[16]{};        // 14500
  // How the game ended for the region, as the result screen wrote it for
  // the score card and the campaign's records: each name 19 characters and
  // a NUL, the result 0 lost, 1 won, 2 won by unification.
  char endScenarioName[20]{};  // 14516
  char endRegionName[20]{};    // 14536
  char endCapitalName[20]{};   // 14556
  uint8_t carriedFlag{};      // 14576
  uint8_t endResult{};        // 14577
  uint8_t endCheated{};       // 14578: chat cheats were used; never cleared
  uint8_t bytes14579[1]{};
  uint32_t networkSlot{};     // 14580: the player's slot in the session's slot table, 0 none
};
static_assert(std::is_trivially_copyable_v<PlayerRecord>);
static_assert(std::endian::native == std::endian::little, "the region record is its own file image");
static_assert(sizeof(PlayerRecord) == kPlayerRecordSize);
static_assert(offsetof(PlayerRecord, number) == 4);
static_assert(offsetof(PlayerRecord, govtype) == 5);
static_assert(offsetof(PlayerRecord, successor) == 6);
static_assert(offsetof(PlayerRecord, agenda) == 7);
static_assert(offsetof(PlayerRecord, name) == 8);
static_assert(offsetof(PlayerRecord, hexCount) == 24);
static_assert(offsetof(PlayerRecord, rulingParty) == 39);
static_assert(offsetof(PlayerRecord, avatar) == 40);
static_assert(offsetof(PlayerRecord, politic) == 41);
static_assert(offsetof(PlayerRecord, aiStance) == 42);
static_assert(offsetof(PlayerRecord, music) == 43);
static_assert(offsetof(PlayerRecord, pointerSlot48) == 48);
static_assert(offsetof(PlayerRecord, electionDay) == 52);
static_assert(offsetof(PlayerRecord, flags56) == 56);
static_assert(offsetof(PlayerRecord, timeoutVictory) == 60);
static_assert(offsetof(PlayerRecord, lossForceEnd) == 61);
static_assert(offsetof(PlayerRecord, startEmail) == 62);
static_assert(offsetof(PlayerRecord, armsAvail) == 64);
static_assert(offsetof(PlayerRecord, partyShare) == 68);
static_assert(offsetof(PlayerRecord, displayPolicy) == 120);
static_assert(offsetof(PlayerRecord, simPolicy) == 5144);
static_assert(offsetof(PlayerRecord, simPolicy) - offsetof(PlayerRecord, displayPolicy) == sizeof(PlayerPolicyBlock));
static_assert(offsetof(PlayerRecord, displayPolicy) + offsetof(PlayerPolicyBlock, friendlyMask) == 124);
static_assert(offsetof(PlayerRecord, displayPolicy) + offsetof(PlayerPolicyBlock, hostileMask) == 128);
static_assert(offsetof(PlayerRecord, displayPolicy) + offsetof(PlayerPolicyBlock, taxRates) == 168);
static_assert(offsetof(PlayerRecord, displayPolicy) + offsetof(PlayerPolicyBlock, defcon) == 372);
static_assert(offsetof(PlayerRecord, displayPolicy) + offsetof(PlayerPolicyBlock, productPolicy) == 460);
static_assert(offsetof(PlayerRecord, displayPolicy) + offsetof(PlayerPolicyBlock, productionFlags) == 1228);
static_assert(offsetof(PlayerRecord, displayPolicy) + offsetof(PlayerPolicyBlock, regionPolicy) == 1312);
static_assert(offsetof(PlayerRecord, displayPolicy) + offsetof(PlayerPolicyBlock, cabinetPolicy) == 4896);
static_assert(offsetof(PlayerRecord, displayPolicy) + offsetof(PlayerPolicyBlock, ceasefireMask) == 5012);
static_assert(offsetof(PlayerRecord, gdpInput1) == 10168);
static_assert(offsetof(PlayerRecord, gdpInput2) == 10172);
static_assert(offsetof(PlayerRecord, standing) == 10176);
static_assert(offsetof(PlayerRecord, gdpInput9) == 10180);
static_assert(offsetof(PlayerRecord, gdpInput10) == 10184);
static_assert(offsetof(PlayerRecord, approval) == 10188);
static_assert(offsetof(PlayerRecord, secondRating) == 10192);
static_assert(offsetof(PlayerRecord, yearlyCostFacilities) == 10196);
static_assert(offsetof(PlayerRecord, yearlyCostD) == 10208);
static_assert(offsetof(PlayerRecord, gdpInput3) == 10212);
static_assert(offsetof(PlayerRecord, tradeOpenness) == 10216);
static_assert(offsetof(PlayerRecord, creditRating) == 10220);
static_assert(offsetof(PlayerRecord, gdpInput4) == 10224);
static_assert(offsetof(PlayerRecord, gdpInput5) == 10228);
static_assert(offsetof(PlayerRecord, gdpInput6) == 10252);
static_assert(offsetof(PlayerRecord, gdpInput7) == 10256);
static_assert(offsetof(PlayerRecord, efficiency) == 10272);
static_assert(offsetof(PlayerRecord, population) == 10276);
static_assert(offsetof(PlayerRecord, soldiers) == 10304);
static_assert(offsetof(PlayerRecord, unemployment) == 10308);
static_assert(offsetof(PlayerRecord, volunteersPerYear) == 10312);
static_assert(offsetof(PlayerRecord, conscriptsPerYear) == 10316);
static_assert(offsetof(PlayerRecord, immigrationPerYear) == 10320);
static_assert(offsetof(PlayerRecord, emigrationPerYear) == 10324);
static_assert(offsetof(PlayerRecord, birthsPerYear) == 10328);
static_assert(offsetof(PlayerRecord, deathsPerYear) == 10332);
static_assert(offsetof(PlayerRecord, ruralPopulation) == 10336);
static_assert(offsetof(PlayerRecord, treasury) == 10352);
static_assert(offsetof(PlayerRecord, debtKind0) == 10356);
static_assert(offsetof(PlayerRecord, heldDebt) == 10360);
static_assert(offsetof(PlayerRecord, debtKind1) == 10364);
static_assert(offsetof(PlayerRecord, debtKind2) == 10368);
static_assert(offsetof(PlayerRecord, monthlyYearlyAmount) == 10372);
static_assert(offsetof(PlayerRecord, scheduledTotal) == 10376);
static_assert(offsetof(PlayerRecord, monthlyRate) == 10380);
static_assert(offsetof(PlayerRecord, itemSerial) == 10384);
static_assert(offsetof(PlayerRecord, socialCosts) == 10464);
static_assert(offsetof(PlayerRecord, gdp) == 10520);
static_assert(offsetof(PlayerRecord, gdpPerCapita) == 10524);
static_assert(offsetof(PlayerRecord, baseGdpPerCapita) == 10528);
static_assert(offsetof(PlayerRecord, priceIndex) == 10536);
static_assert(offsetof(PlayerRecord, growthRate) == 10540);
static_assert(offsetof(PlayerRecord, costFactor) == 10544);
static_assert(offsetof(PlayerRecord, serviceAdd) == 10548);
static_assert(offsetof(PlayerRecord, researchBudget) == 10568);
static_assert(offsetof(PlayerRecord, salaryBaseCost) == 10608);
static_assert(offsetof(PlayerRecord, maintenanceBaseCost) == 10612);
static_assert(offsetof(PlayerRecord, intelBaseCost) == 10616);
static_assert(offsetof(PlayerRecord, militarySpendIndex) == 10584);
static_assert(offsetof(PlayerRecord, techLevel) == 10592);
static_assert(offsetof(PlayerRecord, researchEfficiency) == 10620);
static_assert(offsetof(PlayerRecord, products) == 10732);
static_assert(offsetof(PlayerRecord, socialLevels) == 11980);
static_assert(offsetof(PlayerRecord, specialEffects) == 12188);
static_assert(offsetof(PlayerRecord, smallFigure) == 12196);
static_assert(offsetof(PlayerRecord, spottingLevel) == 12232);
static_assert(offsetof(PlayerRecord, importValue) == 12248);
static_assert(offsetof(PlayerRecord, exportValue) == 12252);
static_assert(offsetof(PlayerRecord, scoreSums) == 12288);
static_assert(offsetof(PlayerRecord, unitCounts) == 12312);
static_assert(offsetof(PlayerRecord, rankCountR1) == 12328);
static_assert(offsetof(PlayerRecord, rankCountR2) == 12330);
static_assert(offsetof(PlayerRecord, statValues) == 12332);
static_assert(offsetof(PlayerRecord, commandCounter) == 12372);
static_assert(offsetof(PlayerRecord, classMask) == 44);
static_assert(offsetof(PlayerRecord, bandPicks) == 12404);
static_assert(offsetof(PlayerRecord, pendingCommands) == 12964);
static_assert(offsetof(PlayerRecord, dayApproval) == 13024);
static_assert(offsetof(PlayerRecord, daySecondRating) == 13028);
static_assert(offsetof(PlayerRecord, dayHexCount) == 13032);
static_assert(offsetof(PlayerRecord, dayPopulation) == 13056);
static_assert(offsetof(PlayerRecord, dayLeadValue) == 13060);
static_assert(offsetof(PlayerRecord, dayRuralPopulation) == 13064);
static_assert(offsetof(PlayerRecord, turnSalesRevenue) == 13068);
static_assert(offsetof(PlayerRecord, turnPurchaseCost) == 13072);
static_assert(offsetof(PlayerRecord, turnBuildSpending) == 13076);
static_assert(offsetof(PlayerRecord, turnUnpaidBuildCost) == 13104);
static_assert(offsetof(PlayerRecord, turnDefaulted) == 13116);
static_assert(offsetof(PlayerRecord, turnProductTotals) == 13120);
static_assert(offsetof(PlayerRecord, turnBestHex) == 13168);
static_assert(offsetof(PlayerRecord, turnBestHexValue) == 13172);
static_assert(offsetof(PlayerRecord, turnUpkeepMarked) == 13236);
static_assert(offsetof(PlayerRecord, turnUpkeepOther) == 13240);
static_assert(offsetof(PlayerRecord, dayProduction) == 13244);
static_assert(offsetof(PlayerRecord, dayPopulationOutput) == 13340);
static_assert(offsetof(PlayerRecord, dayRawYield) == 13388);
static_assert(offsetof(PlayerRecord, dayInterestReceived) == 13436);
static_assert(offsetof(PlayerRecord, dayInterestPaid) == 13440);
static_assert(offsetof(PlayerRecord, yesterdayTotals) == 12576);
static_assert(offsetof(PlayerRecord, yesterdayHexCount) == 12592);
static_assert(offsetof(PlayerRecord, yesterdayGdpPerCapita) == 12596);
static_assert(offsetof(PlayerRecord, yesterdayDefcon) == 12600);
static_assert(offsetof(PlayerRecord, dayWord) == 12604);
static_assert(offsetof(PlayerRecord, pendingCommands) == 12964);
static_assert(offsetof(PlayerRecord, turnAmountC) == 13476);
static_assert(offsetof(PlayerRecord, dayAlertValueB) == 13480);
static_assert(offsetof(PlayerRecord, lastTurnBuildSpending) == 13484);
static_assert(offsetof(PlayerRecord, lastTurnDefaulted) == 13504);
static_assert(offsetof(PlayerRecord, lastTurnFigures) == 13508);
static_assert(offsetof(PlayerRecord, dayYearlyCostFacilities) == 13540);
static_assert(offsetof(PlayerRecord, portCapacity) == 13556);
static_assert(offsetof(PlayerRecord, dayKind2Count) == 13558);
static_assert(offsetof(PlayerRecord, dayCensusCapacityA) == 13560);
static_assert(offsetof(PlayerRecord, dayCensusCrew) == 13572);
static_assert(offsetof(PlayerRecord, cabinetApproval) == 13580);
static_assert(offsetof(PlayerRecord, cabinetConcern) == 13604);
static_assert(offsetof(PlayerRecord, recommendedPriorities) == 13628);
static_assert(offsetof(PlayerRecord, cabinetStateWord) == 13652);
static_assert(offsetof(PlayerRecord, civilAttitude) == 13700);
static_assert(offsetof(PlayerRecord, diplomaticRelation) == 13828);
static_assert(offsetof(PlayerRecord, belligerence) == 13956);
static_assert(offsetof(PlayerRecord, slotName) == 14500);
static_assert(offsetof(PlayerRecord, carriedFlag) == 14576);
static_assert(offsetof(PlayerRecord, otherPartyPick) == 12407);
static_assert(offsetof(PlayerRecord, endScenarioName) == 14516);
static_assert(offsetof(PlayerRecord, endCapitalName) == 14556);
static_assert(offsetof(PlayerRecord, endResult) == 14577);
static_assert(offsetof(PlayerRecord, endCheated) == 14578);
static_assert(offsetof(PlayerRecord, networkSlot) == 14580);

// flags56: the launch code has been entered; weapons of mass destruction may
// be launched for the rest of the game.
inline constexpr uint32_t kPlayerLaunchAuthorised = 1u << 0;

// specialEffects bits the computer players' unit build reads: the special
// weapon kinds a region's technology lets it build (kClassSpecialWeaponB,
// kClassSpecialImmune, kClassSpecialWeaponA). Were kFeatureFlag1, 2 and 12.
inline constexpr uint32_t kEffectSpecialWeaponB = 1u << 1;
inline constexpr uint32_t kEffectSpecialImmune = 1u << 2;
inline constexpr uint32_t kEffectSpecialWeaponA = 1u << 12;

// The region takes part in the game: its slot is not empty and it is not
// out of the game. Walks over the "active" regions visit only these.
inline bool TakesPart(const PlayerRecord& record) { return record.kind != kKindEmpty && record.kind != kKindOut; }

// Nulls the record's pointer words: 48, 12 and 4,900 to 4,911 of both
// policy copies, and 13,168. Records are made zero-filled, so every other
// byte is already zero.
void PlayerRecordInit(PlayerRecord& record);
// Copies every field, the pointer words as they stand: the copy must not
// free what they name.
void CopyPlayerRecord(PlayerRecord& destination, const PlayerRecord& source);
// One local command fewer is outstanding (none when none is); when none is
// left the simulation settings replace the displayed ones, so the display
// falls back to the simulated state only once no local change is pending.
void TickPolicyRestore(PlayerRecord& record);
