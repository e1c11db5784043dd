#pragma once
// The benchmark world: a 240 x 120 wrapping map with every player slot in
// use (the world supplier and 31 regions) and about 10,000 units, a tenth of
// them patrolling, laid out from a fixed seed. It is written as CSV sources
// beside the sample world's (whose terrain, class, technology and people
// tables it shares) and built by the same builder; it ships with nothing.
#include <string>

namespace worldgen {

inline constexpr int kBenchRegions = 31;

// Writes the benchmark world's sources into `workFolder` ("world/CUSTOM/"
// and the player-settings template "PlayerSet/"), taking the shared tables
// from the sample world's source folder and the template from `dataFolder`.
bool WriteBenchSources(const std::string& sampleSource, const std::string& dataFolder, const std::string& workFolder,
                       std::string& error);

}  // namespace worldgen
