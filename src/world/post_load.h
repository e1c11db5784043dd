#pragma once
// The pass that turns a game read from files into a consistent world: units
// bound to their classes, links between units mapped to the reloaded units,
// units of unusable classes dropped, units a map keeps only as cell
// summaries made again, the scenario's difficulty applied to the regions,
// and the derived tables recomputed.
#include <cstdint>

struct World;

// What was loaded: a scenario's starting position, or a save game, which
// already carries the scenario's difficulty (applying it again on every load
// would compound it).
enum class LoadSource { kScenario, kSaveGame };

// The pass; it does not fail. Returns 0.
int32_t CheckUnitsAfterLoad(World& world, LoadSource source = LoadSource::kScenario);

// After the editor has read region settings into a scenario: for every
// region 1 to 31 in play the interface's copy of its settings becomes the
// simulation's, nothing is pending on it, and its cost factor follows its
// GDP per head again; then the world price indexes and the technology
// effects are recomputed.
void RestorePlayerPolicies(World& world);

// Reads the scenario definition of that name and, when it is read, the
// scenario text it names (that read's result is returned). When the
// definition cannot be read, the scenario text is freed, its title becomes
// the scenario's name, and the definition's failure is returned.
int32_t AfterLoadStep(World& world, const char* scenarioName);
