#pragma once
// Whether the figures a game file or save hands the simulation are numbers.
// One infinite or not-a-number figure spreads to every sum a day makes (the
// world's population, GDP and treasury), and the game would play on with
// them, so a file holding one is refused instead.
#include <string>

struct PlayerRecord;
struct UnitRecord;

// True when every floating-point figure of the record is finite; else false
// with the figure's name in `which`.
bool RegionFiguresFinite(const PlayerRecord& record, std::string& which);
bool UnitFiguresFinite(const UnitRecord& unit, std::string& which);
