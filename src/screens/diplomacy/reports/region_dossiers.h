#pragma once
// The side panels beside the map while the diplomacy department is open: a
// short dossier of the region picked in the department's list and its full
// report, a summary of the local region's standing, and a region's allies
// and enemies. They only read; with the side screens off they do nothing.
// Each shows the region its id names.
#include <cstdint>
#include <memory>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

inline constexpr const char* kRegionDossierTags[] = {"REGNAME", "REGGOVT", "REGPOP",  "REGLAND",
                                                     "REGGDP",  "REGTREASURE", "REGDEBT", "REGDRBUT"};
inline constexpr const char* kRegionReportTags[] = {
    "REGGOVT",  "REGIONNAME", "REGPOP",      "REGLAND",     "REGGDP",    "INFLRATE",   "TAXRATE",
    "UNEMPRATE", "REGINTRATE", "WMINTRATE",  "SURPDEF",     "WMSUBRATE", "IMMIGRATNUM", "EMIGRATNUM",
    "BIRTHSNUM", "DEATHSNUM",  "LITRATE",    "TOURRATE",    "DOMAPRRATE", "MILAPRRATE", "AVGAGE",
    "LIFEEXP",   "AVGCHILDREN", "OKBUT"};
inline constexpr const char* kOwnRegionTags[] = {"REGGOVT",    "REGNAME",    "WMSUBRATE", "WMINTRATE",
                                                 "DOMAPRRATE", "MILAPRRATE", "OPINION"};
inline constexpr const char* kRegionAlliancesTags[] = {"REGNAME", "ALLIES", "ENEMIES"};

// The "wmopinion" entry of a world-market opinion: eighths, held to 0-6.
int32_t OpinionEntry(float opinion);

std::unique_ptr<Screen> MakeRegionDossier();

std::unique_ptr<Screen> MakeRegionReport();

std::unique_ptr<Screen> MakeOwnRegionSummary();

std::unique_ptr<Screen> MakeRegionAlliances();
