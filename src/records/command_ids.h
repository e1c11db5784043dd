#pragma once
// The ids of the game commands, one name each, named for the command's
// handler. An id is a wire value: it travels in every command between peers
// and is stored in game and save files, so an id is never renumbered or
// reused; a new command takes a new number. Where the code's handler goes by
// another name, the comment gives it, so a search for either finds the id.
#include <cstdint>

// The policy settings: each writes one field of the issuer's policy block
// (the settings file's key of the same name posts it).
inline constexpr uint32_t kCmdMinWage = 16;
inline constexpr uint32_t kCmdWagePriceMax = 18;
inline constexpr uint32_t kCmdTaxRate = 19;  // word 28 picks the tax
inline constexpr uint32_t kCmdUserFees = 20;
inline constexpr uint32_t kCmdImmigrationTax = 21;
inline constexpr uint32_t kCmdUiSpend = 22;
inline constexpr uint32_t kCmdWelfSpend = 23;
inline constexpr uint32_t kCmdPensSpend = 24;
inline constexpr uint32_t kCmdSocialSpend = 25;
inline constexpr uint32_t kCmdBWagePrice = 26;
inline constexpr uint32_t kCmdBMedical = 27;
inline constexpr uint32_t kCmdBMatchSocials = 29;
inline constexpr uint32_t kCmdRecurringAdd = 30;     // takes a loan (TakeLoanCommand)
inline constexpr uint32_t kCmdRecurringCancel = 31;  // repays a loan early (RepayLoanCommand)
inline constexpr uint32_t kCmdDomesticMargin = 51;
inline constexpr uint32_t kCmdSubsidy = 53;
inline constexpr uint32_t kCmdProductionCap = 54;
inline constexpr uint32_t kCmdAutoSellSurplusPercent = 57;
inline constexpr uint32_t kCmdAutoSellMargin = 58;
inline constexpr uint32_t kCmdAutoBuyMax = 59;
inline constexpr uint32_t kCmdBAutoPurchase = 60;
inline constexpr uint32_t kCmdBNoBoycottBuy = 61;
inline constexpr uint32_t kCmdBNoBoycottSell = 62;
inline constexpr uint32_t kCmdBAutoSell = 63;
inline constexpr uint32_t kCmdBCapByCapacity = 64;
inline constexpr uint32_t kCmdProdSellParam = 65;
inline constexpr uint32_t kCmdProdSellParam2 = 66;
inline constexpr uint32_t kCmdProdBuyParam = 67;
inline constexpr uint32_t kCmdPurchaseMax = 68;
inline constexpr uint32_t kCmdProdMilPriority = 69;
inline constexpr uint32_t kCmdBAutoSellPrice = 70;
inline constexpr uint32_t kCmdProdPlayerMask = 71;
inline constexpr uint32_t kCmdProdPlayerMask2 = 72;
inline constexpr uint32_t kCmdSetGovType = 80;  // SetGovernmentTypeCommand
inline constexpr uint32_t kCmdImmLimit = 81;
inline constexpr uint32_t kCmdRefugLimit = 82;
inline constexpr uint32_t kCmdEmLimit = 83;
inline constexpr uint32_t kCmdImmControl = 84;
inline constexpr uint32_t kCmdEmControl = 85;
inline constexpr uint32_t kCmdImRefugee = 86;
inline constexpr uint32_t kCmdImMedic = 87;
inline constexpr uint32_t kCmdImEthnic = 88;
inline constexpr uint32_t kCmdImEduc = 89;
inline constexpr uint32_t kCmdImSkills = 90;
inline constexpr uint32_t kCmdImWealth = 91;
inline constexpr uint32_t kCmdImCriminals = 92;
inline constexpr uint32_t kCmdEmScientists = 93;
inline constexpr uint32_t kCmdEmLabourers = 94;
inline constexpr uint32_t kCmdEmDissidents = 95;
inline constexpr uint32_t kCmdEmSkilled = 96;
inline constexpr uint32_t kCmdEmWealthy = 97;
inline constexpr uint32_t kCmdEmStudents = 98;
inline constexpr uint32_t kCmdEmExileOpp = 99;
inline constexpr uint32_t kCmdEmExileCrime = 100;
inline constexpr uint32_t kCmdEmExileReligion = 101;
inline constexpr uint32_t kCmdEmCampReligion = 102;
inline constexpr uint32_t kCmdImRefugeeInt = 103;
inline constexpr uint32_t kCmdReligionState = 104;
inline constexpr uint32_t kCmdReligionOffTol = 105;
inline constexpr uint32_t kCmdDefcon = 128;
inline constexpr uint32_t kCmdSoldierTarget = 129;
inline constexpr uint32_t kCmdRecruitLimit = 130;
inline constexpr uint32_t kCmdSoldierMinAge = 131;
inline constexpr uint32_t kCmdMilSpendSalary = 132;
inline constexpr uint32_t kCmdMilSpendIntel = 133;
inline constexpr uint32_t kCmdMilSpendMaint = 134;
inline constexpr uint32_t kCmdIntelSpendForFocus = 135;
inline constexpr uint32_t kCmdMilSpendResearch = 136;
inline constexpr uint32_t kCmdMilResearch = 138;  // word 28 picks the setting
inline constexpr uint32_t kCmdBConscript = 139;
inline constexpr uint32_t kCmdBCoed = 140;
inline constexpr uint32_t kCmdMilInitiativeOff = 142;
inline constexpr uint32_t kCmdMilInitiativeDef = 143;
inline constexpr uint32_t kCmdRoePathAllied = 144;
inline constexpr uint32_t kCmdRoePathNeutral = 145;
inline constexpr uint32_t kCmdRoePathEnemy = 146;
inline constexpr uint32_t kCmdRoePathWm = 147;
inline constexpr uint32_t kCmdRoePathNoWmWater = 148;
inline constexpr uint32_t kCmdRoeNoRepair = 149;
inline constexpr uint32_t kCmdRoeResvDm = 150;
inline constexpr uint32_t kCmdRoeIcbmLaunchOnLoss = 151;
inline constexpr uint32_t kCmdRoeUseNbcStrategic = 152;
inline constexpr uint32_t kCmdRoeNeutralEngage = 153;
inline constexpr uint32_t kCmdRoeScortchedEarth = 154;
inline constexpr uint32_t kCmdRoeScorchedType = 155;
inline constexpr uint32_t kCmdRoePathAllAir = 156;
inline constexpr uint32_t kCmdRoeRegionFlag = 157;
inline constexpr uint32_t kCmdBUnitAutoBuild = 158;
inline constexpr uint32_t kCmdAutoBuildValues = 159;
inline constexpr uint32_t kCmdAutoBuildMissiles = 160;
inline constexpr uint32_t kCmdRoeUseNukeTactical = 161;
inline constexpr uint32_t kCmdRoeUseChemTactical = 162;
inline constexpr uint32_t kCmdBMissilesAutoBuild = 163;
inline constexpr uint32_t kCmdPairMaskSwap = 164;
inline constexpr uint32_t kCmdPairMask = 165;
inline constexpr uint32_t kCmdPolicyFlag2 = 176;  // world-market membership (WorldMarketCommand)
inline constexpr uint32_t kCmdDeclareWar = 177;   // DeclareWarCommand
inline constexpr uint32_t kCmdDipOffer = 180;     // a diplomatic offer (DiplomaticOfferCommand)
inline constexpr uint32_t kCmdSurrender = 181;    // SurrenderCommand
inline constexpr uint32_t kCmdDeleteAgreement = 182;  // ends one treaty (EndTreatyCommand)
inline constexpr uint32_t kCmdAgreementUpdate = 183;  // ends all treaties with a partner (EndAllTreatiesCommand)
inline constexpr uint32_t kCmdBuildListValue = 184;
inline constexpr uint32_t kCmdCabSetSid = 256;
inline constexpr uint32_t kCmdCabSetControl = 257;
inline constexpr uint32_t kCmdCabSetPriorities = 258;
inline constexpr uint32_t kCmdCabSetLocks = 259;
inline constexpr uint32_t kCmdDefSetAdvOrders = 260;
inline constexpr uint32_t kCmdCabSetMask = 261;

// Units and research projects. The three that make an object run their
// display pass on every peer.
inline constexpr uint32_t kCmdCreateUnit = 272;
inline constexpr uint32_t kCmdDisbandUnit = 273;  // was kCmdUnitBookkeeping
inline constexpr uint32_t kCmdScheduleUnit = 274;  // deploys a reserve unit
inline constexpr uint32_t kCmdCreateUnitAt = 275;
inline constexpr uint32_t kCmdLaunchBit = 276;
inline constexpr uint32_t kCmdLaunchCount = 277;

// Hex-stack commands: the facility of the hex named by word 24.
inline constexpr uint32_t kCmdHexStack288 = 288;  // HexStackCommand288
inline constexpr uint32_t kCmdHexStack289 = 289;  // HexStackCommand289
inline constexpr uint32_t kCmdSetFacilityOutput = 290;  // HexStackCommand290
inline constexpr uint32_t kCmdHexStack291 = 291;  // HexStackCommand291
inline constexpr uint32_t kCmdHexStack292 = 292;  // HexStackCommand292
inline constexpr uint32_t kCmdHexStack293 = 293;  // HexStackCommand293
inline constexpr uint32_t kCmdHexStack294 = 294;  // HexStackCommand294
inline constexpr uint32_t kCmdHexStack295 = 295;  // HexStackCommand295
inline constexpr uint32_t kCmdHexStack296 = 296;  // HexStackCommand296
inline constexpr uint32_t kCmdHexStack297 = 297;  // HexStackCommand297
inline constexpr uint32_t kCmdRelationSet298 = 298;  // the region's target hex (TargetHexCommand)
inline constexpr uint32_t kCmdHexStack299 = 299;  // HexStackCommand299
inline constexpr uint32_t kCmdLeadUnitSetDestination = 300;  // StackApply2359
inline constexpr uint32_t kCmdConvertFacility = 301;  // HexStackCommand301
inline constexpr uint32_t kCmdNameHex = 304;  // HexStackCommand304

// Unit orders: the unit named by word 28.
inline constexpr uint32_t kCmdUnitCancelOrders = 336;  // cancel-all (CancelAllOrders)
inline constexpr uint32_t kCmdAddOrderFlags = 337;
inline constexpr uint32_t kCmdUnitSetStateBits = 338;
inline constexpr uint32_t kCmdUnitSetDestination = 339;
inline constexpr uint32_t kCmdAssignUnitRoute = 340;
inline constexpr uint32_t kCmdAssignRouteSteps = 341;  // also "recompute move order" without steps
inline constexpr uint32_t kCmdUnitSetFireHex = 342;  // kFireHex, was kCmdUnitSetFireHex
inline constexpr uint32_t kCmdUnitSetFireUnit = 343;  // kFireUnit, was kCmdUnitSetFireUnit
inline constexpr uint32_t kCmdUnitSetLeaderUnit = 344;  // kLeaderUnit, was kCmdUnitSetLeaderUnit
inline constexpr uint32_t kCmdUnitCancelMove = 345;  // cancel-movement (CancelUnitMovement)
inline constexpr uint32_t kCmdUnitCancelTask = 346;  // cancel-target (CancelUnitTarget)
inline constexpr uint32_t kCmdUnitSetSecondHex = 347;  // kSecondHex, was kCmdUnitSetSecondHex
inline constexpr uint32_t kCmdUnitSetOrdersHeaderBits = 348;  // bits of kOrdersHeader, was kCmdUnitSetOrdersHeaderBits
inline constexpr uint32_t kCmdUnitSetOrdersHeader = 349;  // kOrdersHeader, was kCmdUnitSetOrdersHeader
inline constexpr uint32_t kCmdUnitSetOrderSetting = 350;
inline constexpr uint32_t kCmdUnitSetOrderLevel = 351;  // kOrderLevelByte, was kCmdUnitSetOrderLevel
inline constexpr uint32_t kCmdUnitAddOrderLevel = 352;  // was kCmdUnitAddOrderLevel
inline constexpr uint32_t kCmdUnitSetOrderId = 353;  // kOrderId, was kCmdUnitSetOrderId
inline constexpr uint32_t kCmdUnitSetOrdersWord = 354;  // kOrdersWord, was kCmdUnitSetOrdersWord
inline constexpr uint32_t kCmdUnitSetNoAutoDeploy = 355;  // kPostureNoAutoDeploy, was kCmdUnitSetNoAutoDeploy

inline constexpr uint32_t kCmdProjectCreate = 384;  // CreateProject
inline constexpr uint32_t kCmdProjectClose = 385;  // CloseProject
inline constexpr uint32_t kCmdAvailabilityBit = 386;  // SetMaskBit on a project

// The network layer's two system commands, outside the table.
inline constexpr uint32_t kCmdSyncCheck = 0x8001;
inline constexpr uint32_t kCmdSetPlayerKind = 0x8002;
