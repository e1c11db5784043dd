#pragma once
// Whether the figures a game file or save hands the simulation are numbers
// in the range a running game keeps them in. One infinite, not-a-number or
// absurd figure (a unit of a billion men, an unemployment of -1e30) spreads
// to every sum a day makes (the world's population, GDP and treasury), and
// the game would play on with them, so a file holding one is refused
// instead.
#include <cstdint>
#include <span>
#include <string>

// The highest technology level a region reaches: research stops there. The
// sample's regions start at 220 to 340 and gain a tenth of a level in three
// years; the research cost grows tenfold every 20 levels, to 1.3e27 at
// this level, and past 728 no float holds it.
inline constexpr float kTopTechLevel = 500.0f;

struct PlayerRecord;
struct UnitRecord;
struct UnitClassRecord;

// True when every floating-point figure of the record is finite and within
// its range (and a unit's next step one of its seven values); else false
// with the figure, its value and its range in `which` ("strength of 1e+09,
// outside ...").
bool RegionFiguresInRange(const PlayerRecord& record, std::string& which);
bool UnitFiguresInRange(const UnitRecord& unit, std::string& which);
// The same for a unit's strength and ordered size against its class in
// `classes`: none below 0, the strength at most the merge ceiling times the
// class's full strength and the size at most the merge ceiling. A stock
// unit (a count of weapons) and a unit whose class is not in the table or
// has no strength (which the post-load check takes off the map) keep the
// bounds UnitFiguresInRange gives them.
bool UnitStrengthFitsClass(const UnitRecord& unit, std::span<const UnitClassRecord> classes, std::string& which);
// The same for the world economy block (1 KB: twelve 64-byte product
// entries, then the world's figures), its words named in `which`
// ("product 3 price that is not a finite number").
bool EconomyFiguresInRange(std::span<const uint8_t> block, std::string& which);
