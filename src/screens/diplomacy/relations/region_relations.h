#pragma once
// The picked region's relations panel, docked at the second level under the
// diplomacy department: who the region is, how it stands toward ours, and
// the switches that fit the standing (ceasefire, neutrality, path), with the
// ways to its deeper panels (alliances, agreements, trade, war).
#include <memory>
#include <cstdint>
#include <string>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

inline constexpr const char* kRegionRelationsTags[] = {
    "REGION",  "STATUS",   "GOVTYPE2",  "LEADER2", "DOMAPR",    "MILAPR",   "REGPOP",   "REGLAND", "REGGDP",
    "REGTREASURE", "REGDEBT", "FLAG",   "CFPARENT", "NWPARENT", "OFFERP",   "WAR",      "CEASEFIRE", "NEUTWAR",
    "CEASEGRID", "CHAT",   "DIPOFFER",  "PATH",    "NEGOTBUT",  "BOYCOTTS", "BACK",     "RELATION", "TREATBUT"};

// The agreement kind a ceasefire is.
inline constexpr int32_t kCeasefireAgreement = 4;
// A value of an agreement item that asks to end the agreement (negative as
// a signed byte).
inline constexpr int32_t kCancelAgreementValue = 129;

// The region a panel of one region can show, searched upward from `id`
// (wrapping from the highest player to 1): one that is in play (neither
// empty nor out) and not the local region; 0 when there is none.
int32_t StepToShownRegion(const World& world, int32_t id);

// The DIPOFFER text that opens the deal editor with agreement `kind` at
// `value` in both groups, from region `from` to region `to`.
std::string AgreementOfferText(int32_t from, int32_t to, int32_t kind, int32_t value);

// Where a prepared offer text goes: the deal editor, or what a test puts in
// its place.
extern void (*g_openOfferInDealEditor)(const char* text, bool swap);
// Opens the deal editor on an offer from the region to the local one with
// agreement `kind` at `value` in both groups.
void OpenAgreementOffer(int32_t region, int32_t kind, int32_t value);

std::unique_ptr<Screen> MakeRegionRelationsPanel();
