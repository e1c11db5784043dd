#pragma once
// The message types the game itself sends: one name per type of the news
// items table ("INI\newsitems.CSV"), which gives each its texts, priority,
// frequency and parameter kinds. A type is an index into that table and
// travels with every message between peers and in save files, so a type
// keeps its number. Names ending in News are the broadcast form of the
// event that the region concerned hears under the name without it.
#include <cstdint>

// War and treaties.
inline constexpr uint32_t kMsgWarOnFriend = 3;
inline constexpr uint32_t kMsgWarDeclaredOnUs = 4;
// The region the local one declared war on has answered with its own declaration.
inline constexpr uint32_t kMsgWarAnswered = 436;
inline constexpr uint32_t kMsgWarOnTreatyPartner = 6;
inline constexpr uint32_t kMsgFriendAttacked = 50;          // war on a friend who struck no first blow
inline constexpr uint32_t kMsgTreatyPartnerAttacked = 52;   // the same for a treaty partner
inline constexpr uint32_t kMsgTreatyEndedNews = 149;
inline constexpr uint32_t kMsgTreaty24Changed = 210;        // treaty type 24 made or ended with us
inline constexpr uint32_t kMsgTreaty21Changed = 212;
inline constexpr uint32_t kMsgTreaty18Changed = 218;
inline constexpr uint32_t kMsgAllTreatiesEnded = 248;
inline constexpr uint32_t kMsgTreatyCancelled = 275;
inline constexpr uint32_t kMsgTreatyCancelledInProtest = 276;
inline constexpr uint32_t kMsgWarEndedNews = 300;
inline constexpr uint32_t kMsgNewAllianceNews = 301;
inline constexpr uint32_t kMsgNewTargetNews = 328;          // a region chose a new strategic target
inline constexpr uint32_t kMsgSurrenderNews = 263;          // a computer region gave up its war

// Letters, replies and diplomatic offers.
inline constexpr uint32_t kMsgDiplomaticStatement = 30;
inline constexpr uint32_t kMsgReplyNotice = 88;
inline constexpr uint32_t kMsgOfferExpired = 165;
inline constexpr uint32_t kMsgOfferHostile = 166;           // offers are refused while at war
inline constexpr uint32_t kMsgOffer = 400;                  // an offer attached, answered by reply codes
inline constexpr uint32_t kMsgOfferDeclined = 401;
inline constexpr uint32_t kMsgOfferDone = 402;
inline constexpr uint32_t kMsgOfferItemFailed = 403;        // parameter 2 names the item that failed
inline constexpr uint32_t kMsgOfferOtherFailed = 404;
inline constexpr uint32_t kMsgOfferAnswer = 405;            // an answer to a received offer
inline constexpr uint32_t kMsgPublicAppeal = 474;

// The daily accounts, alerts and elections.
inline constexpr uint32_t kMsgAmountCOver = 9;              // construction over its budget
inline constexpr uint32_t kMsgShortOf10 = 10;               // stocks of product 10 below demand
inline constexpr uint32_t kMsgHexesGained = 55;
inline constexpr uint32_t kMsgDefconChanged = 59;
inline constexpr uint32_t kMsgHighApproval = 86;
inline constexpr uint32_t kMsgHeavyLosses = 103;
inline constexpr uint32_t kMsgUnrest = 104;
inline constexpr uint32_t kMsgHexesLost = 105;
inline constexpr uint32_t kMsgElectionCountdown = 270;
inline constexpr uint32_t kMsgElectionCountdownNews = 279;
inline constexpr uint32_t kMsgShortOf9 = 295;
inline constexpr uint32_t kMsgUnpaidBuilding = 296;
inline constexpr uint32_t kMsgReelectedNarrowly = 330;
inline constexpr uint32_t kMsgReelected = 331;
inline constexpr uint32_t kMsgVotedOutNews = 332;
inline constexpr uint32_t kMsgReelectedNews = 338;
inline constexpr uint32_t kMsgElectionToday = 339;
inline constexpr uint32_t kMsgShortOf2 = 340;
inline constexpr uint32_t kMsgCoupNews = 484;
inline constexpr uint32_t kMsgCoup = 485;

// Products, payments and the economy.
inline constexpr uint32_t kMsgForcedRepayment = 109;        // a world-bank loan turned into daily repayments
inline constexpr uint32_t kMsgShortageNews = 110;
inline constexpr uint32_t kMsgSevereShortageNews = 111;
inline constexpr uint32_t kMsgStocksExhausted = 112;
inline constexpr uint32_t kMsgPayerDefaultedMoney = 123;
inline constexpr uint32_t kMsgPayerDefaultedGoods = 138;
inline constexpr uint32_t kMsgYouDefaultedMoney = 254;
inline constexpr uint32_t kMsgYouDefaultedGoods = 278;
inline constexpr uint32_t kMsgDemandFalling = 283;
inline constexpr uint32_t kMsgFriendInNeed = 287;           // a friend has run out of a product
inline constexpr uint32_t kMsgLabourShortage = 292;
inline constexpr uint32_t kMsgRolledOver = 325;
inline constexpr uint32_t kMsgDefaultMoneyFriendly = 409;
inline constexpr uint32_t kMsgDefaultMoneyOthers = 410;
inline constexpr uint32_t kMsgDefaultGoodsFriendly = 411;
inline constexpr uint32_t kMsgDefaultGoodsOthers = 412;
inline constexpr uint32_t kMsgForcedRepaymentNews = 413;
inline constexpr uint32_t kMsgLoanRepaid = 415;

// Research and the special programmes.
inline constexpr uint32_t kMsgProgrammeUnpaid = 35;
inline constexpr uint32_t kMsgResearchDone = 56;            // a technology
inline constexpr uint32_t kMsgNewDesign = 81;
inline constexpr uint32_t kMsgDesignDone = 90;
inline constexpr uint32_t kMsgRivalResearchNews = 91;
inline constexpr uint32_t kMsgTechnologyMastered = 135;
inline constexpr uint32_t kMsgTechLevelNews = 142;
inline constexpr uint32_t kMsgProgrammeBoughtNews = 148;
inline constexpr uint32_t kMsgProgrammeUnitReady = 155;
inline constexpr uint32_t kMsgTechLevel = 158;
inline constexpr uint32_t kMsgProgrammeBought = 252;
inline constexpr uint32_t kMsgProgrammeStalled = 261;
inline constexpr uint32_t kMsgDesignResearchBegun = 419;   // class, military class (local status line)
inline constexpr uint32_t kMsgTechResearchBegun = 464;     // technology

// The world body and the world supplier.
inline constexpr uint32_t kMsgEmbargo = 106;
inline constexpr uint32_t kMsgEmbargoLifted = 107;
inline constexpr uint32_t kMsgEmbargoNews = 146;
inline constexpr uint32_t kMsgEmbargoLiftedNews = 147;
inline constexpr uint32_t kMsgWorldBodyWarningNews = 162;
inline constexpr uint32_t kMsgSupplierSale = 189;           // an offer for a price
inline constexpr uint32_t kMsgSupplierGift = 219;           // an offer without one
inline constexpr uint32_t kMsgWorldBodyConcern = 225;
inline constexpr uint32_t kMsgWorldBodyConcernSupport = 226;
inline constexpr uint32_t kMsgWorldBodyConcernWars = 227;
inline constexpr uint32_t kMsgWorldBodyConcernCredit = 228;
inline constexpr uint32_t kMsgExpelledNews = 249;
inline constexpr uint32_t kMsgExpelled = 439;
inline constexpr uint32_t kMsgArmsSaleNews = 473;
inline constexpr uint32_t kMsgWorldBodyWarning = 476;

// Hexes, capitals and the regions' fates.
inline constexpr uint32_t kMsgSettlementTaken = 128;
inline constexpr uint32_t kMsgPopulationGained = 140;
inline constexpr uint32_t kMsgPopulationLost = 141;
inline constexpr uint32_t kMsgCapitalFallsNews = 150;
inline constexpr uint32_t kMsgCapitalThreatened = 167;
inline constexpr uint32_t kMsgFacilityDone = 291;
inline constexpr uint32_t kMsgSiteDone = 294;
inline constexpr uint32_t kMsgFacilityUnstaffed = 297;  // an Activate the force budget cannot staff
inline constexpr uint32_t kMsgCapitalMoved = 334;
inline constexpr uint32_t kMsgCapitalMovedNews = 335;
inline constexpr uint32_t kMsgCapitalAttackedNews = 336;
inline constexpr uint32_t kMsgFacilityCapturedNews = 337;
inline constexpr uint32_t kMsgRegionOutNews = 358;          // a region has left the game
inline constexpr uint32_t kMsgSiteDoneNews = 387;
inline constexpr uint32_t kMsgPopulationFledNews = 397;
inline constexpr uint32_t kMsgFacilityLost = 398;
inline constexpr uint32_t kMsgHexLost = 446;                // lost for lack of defenders

// The end of the scenario.
inline constexpr uint32_t kMsgDaysLeftA = 268;
inline constexpr uint32_t kMsgLastDay = 272;
inline constexpr uint32_t kMsgDaysLeftB = 327;
inline constexpr uint32_t kMsgScenarioReport = 499;         // the turn message after log-on

// Units lost where they could neither stay nor leave.
inline constexpr uint32_t kMsgUnitLost = 362;          // a ship or land unit
inline constexpr uint32_t kMsgAircraftLost = 363;      // an aircraft (move kind air)
// A unit disbanded: returned into the supply stock, or sold (local status
// lines: class, class kind, and the sale's value).
inline constexpr uint32_t kMsgUnitDisbanded = 465;
inline constexpr uint32_t kMsgUnitSold = 85;
// Combat: shots, losses and what the regions make of them. 131 is the news
// of a unit that fell back under fire; the rest come from the fire exchange.
inline constexpr uint32_t kMsgFacilityFiredOnByRelated = 124;  // a related region fired on a facility
inline constexpr uint32_t kMsgUnitFiredOnAtHome = 125;         // by a region with no relation, in own territory
inline constexpr uint32_t kMsgFacilityFiredOnAtHome = 126;
inline constexpr uint32_t kMsgUnitFellBack = 131;
inline constexpr uint32_t kMsgFacilityHit = 144;               // hit and still standing
inline constexpr uint32_t kMsgRoadDestroyedNews = 145;         // broadcast
inline constexpr uint32_t kMsgFacilityHitShort = 364;
inline constexpr uint32_t kMsgUnitFiredOnAbroad = 379;         // by a region with no relation, elsewhere
inline constexpr uint32_t kMsgUnitFiredOnByRelated = 380;
inline constexpr uint32_t kMsgEnemyUnitDestroyed = 399;        // to the firer's owner
inline constexpr uint32_t kMsgEnemyStockDestroyed = 408;
// A launch the player ordered was given up: the missile's target hex holds
// nothing it may strike, and it stays where it is.
inline constexpr uint32_t kMsgLaunchDropped = 420;
// A launch the owner ordered is held back: its rules of engagement do not
// release nuclear (421) or chemical (422) weapons. Told once an order.
inline constexpr uint32_t kMsgLaunchHeldNuclear = 421;
inline constexpr uint32_t kMsgLaunchHeldChemical = 422;
// Other launches given up, each with its reason: aimed at no hex, at a unit
// lost from sight, at a region not at war with the owner, at a facility the
// warhead does nothing to, at the owner's or a friend's ground.
inline constexpr uint32_t kMsgLaunchDroppedNoTarget = 423;
inline constexpr uint32_t kMsgLaunchDroppedTargetLost = 424;
inline constexpr uint32_t kMsgLaunchDroppedNotAtWar = 425;
inline constexpr uint32_t kMsgLaunchDroppedCannotStrike = 426;
inline constexpr uint32_t kMsgLaunchDroppedOwnGround = 427;
// A launch order kept waiting: the target is out of reach, the warhead does
// nothing to the target unit, or units not at war stand in the hex an area
// weapon is aimed at. Told once an order.
inline constexpr uint32_t kMsgLaunchWaitsOutOfReach = 428;
inline constexpr uint32_t kMsgLaunchWaitsCannotStrikeUnit = 429;
inline constexpr uint32_t kMsgLaunchWaitsOthersInHex = 430;
// Types 431 to 433 once told a missile's owner what it struck where it came
// down (a target that still stands, one destroyed, nothing). The owner now
// sees the strike on the map; the types stay so that older saves' mail
// still reads.
inline constexpr uint32_t kMsgMissileStruck = 431;
inline constexpr uint32_t kMsgMissileDestroyedTarget = 432;
inline constexpr uint32_t kMsgMissileStruckNothing = 433;
// Types 434 and 435 once told of a missile lost on its way. Stock is lost
// without a word now; their rows stay in the news table so that mail saved
// before still reads as it did.
inline constexpr uint32_t kMsgSettlementFacilityDestroyed = 451;
inline constexpr uint32_t kMsgSettlementFacilityDestroyedNews = 452;
inline constexpr uint32_t kMsgProductionDestroyed = 453;
inline constexpr uint32_t kMsgProductionDestroyedNews = 454;
inline constexpr uint32_t kMsgSettlementRazed = 455;
inline constexpr uint32_t kMsgSettlementRazedNews = 456;
inline constexpr uint32_t kMsgUnitDestroyed = 459;             // to the lost unit's owner

// A covert stock unit caught on another region's hex: the hex owner hears it
// (parameter 1 the caught unit's owner) and everyone hears the broadcast
// (the unit's owner and the hex owner).
inline constexpr uint32_t kMsgCovertUnitCaught = 309;
inline constexpr uint32_t kMsgCovertUnitCaughtNews = 311;

// A unit of a region with no relation entered the hex owner's territory
// (parameters: the unit's owner twice, the hex).
inline constexpr uint32_t kMsgUnitEnteredTerritory = 127;

// The daily build queue finished a unit (parameter 1 its id): it waits in
// the reserve, was deployed at once, or could not be deployed for want of
// force budget, which the budget warning follows.
inline constexpr uint32_t kMsgUnitCompleted = 460;
inline constexpr uint32_t kMsgUnitCompletedDeployed = 461;
inline constexpr uint32_t kMsgUnitCompletedOverBudget = 462;
inline constexpr uint32_t kMsgForceBudgetExceeded = 304;

// A unit of a region that surrendered changed sides (to its new owner).
inline constexpr uint32_t kMsgUnitSurrendered = 486;

// Strikes with special weapons, by the weapon's kind (class bits 2, 3 and
// 1): the message to the struck region and the news told to all.
inline constexpr uint32_t kMsgStruckSpecialA = 190;
inline constexpr uint32_t kMsgStruckSpecialANews = 11;
inline constexpr uint32_t kMsgStruckSpecialB = 366;
inline constexpr uint32_t kMsgStruckSpecialBNews = 368;
inline constexpr uint32_t kMsgStruckImmune = 365;
inline constexpr uint32_t kMsgStruckImmuneNews = 367;

// The ministers' reports and advice to their own region.
inline constexpr uint32_t kMsgMinisterAdvice = 17;          // the design to build next
inline constexpr uint32_t kMsgMinisterChoice = 418;         // the same as a local news line
// Local news lines: a unit ordered (its class and role), a facility ordered
// on the map.
inline constexpr uint32_t kMsgUnitOrdered = 458;
inline constexpr uint32_t kMsgUnitBuildOrdered = 463;  // the player's own order, its class and military class
inline constexpr uint32_t kMsgFacilityPlaced = 133;
inline constexpr uint32_t kMsgMilitaryWantsGoods = 307;     // commerce: trade settings changed
inline constexpr uint32_t kMsgProductShort = 310;           // commerce: production
inline constexpr uint32_t kMsgProductShortNoImports = 315;  // commerce: markets
// Signed by the social affairs department.
inline constexpr uint32_t kMsgSocialUnrest = 487;        // stability
inline constexpr uint32_t kMsgSocialReport = 488;        // stability, average satisfaction
inline constexpr uint32_t kMsgSocialRestraint = 489;     // spending, satisfaction
inline constexpr uint32_t kMsgSocialLocked = 490;        // spending, satisfaction
inline constexpr uint32_t kMsgSocialReview = 491;        // spending, satisfaction
inline constexpr uint32_t kMsgSocialWarWeariness = 492;  // stability
