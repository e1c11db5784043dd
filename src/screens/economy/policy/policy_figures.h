#pragma once
// What the domestic policy pages share: the local region, the social
// costs they show, money and rate texts in the period the player chose,
// and the domestic LOCK buttons (screens/common/policy_lock.h).
#include <cstdint>

#include "screens/common/policy_lock.h"
#include "screens/common/screen_types_fwd.h"

struct PlayerPolicyBlock;

inline constexpr int32_t kServices = 7;  // the social services, "socials" order
inline constexpr uint32_t kLockInvestment = 0x10000;
inline constexpr uint32_t kLockInsurance = 0x20000;
inline constexpr uint32_t kLockEmigrationGroups = 0x40000;
inline constexpr uint32_t kLockImmigrationRules = 0x80000;

// Whether amounts show per day, and what a yearly amount is divided by.
bool AmountsPerDay();
float AmountsDivisor();

// Yearly costs of social policy at a copy's levels.
float ServiceCost(const PlayerRecord& region, const PlayerPolicyBlock& block, int32_t service);
// What the unemployment and welfare rates are paid on: half the unemployed
// times the GDP per head.
float InsuranceBase(const PlayerRecord& region);
float InsuranceCost(const PlayerRecord& region, const PlayerPolicyBlock& block);
float RecommendedInsuranceCost(const PlayerRecord& region);
// The seven services and the insurance funds at the copy's levels, and at
// the recommended levels.
float SocialCost(const PlayerRecord& region, const PlayerPolicyBlock& block);
float RecommendedSocialCost(const PlayerRecord& region);
// The rates the three funds pay at level 1.0 (fractions of the GDP per
// head) and the share of the population drawing a pension.
float UiRecommendedRate(const PlayerRecord& region);
float WelfareRecommendedRate(const PlayerRecord& region);
float PensionRecommendedRate(const PlayerRecord& region);
float PensionerShare(const PlayerRecord& region);
// The yearly research spending at the copy's level: the level counts up to
// the square root of the projects the region may run.
float ResearchSpending(const PlayerRecord& region, const PlayerPolicyBlock& block);
// The yearly income of the immigration fee.
float ImmigrationFeeIncome(const PlayerPolicyBlock& block);

// The selected bit of the tagged control; 0 for a control the form lacks.
uint32_t PressedBit(const Screen& screen, const char* tag);
// A group button released by its click (a toggle group's member left
// unselected); never a list.
bool ReleasedGroupButton(const Control* control);

// The domestic policy side panel, attached, opened and refreshed afresh.
void RefreshPolicySidePanel();
