#pragma once
// Technology and design availability: the per-region rows and the research
// projects' flag words.
#include <cstdint>

struct ProjectEntry;

// Sets (set non-zero) or clears the mask's bits in the project's display
// flags (copy 0) or simulation flags (any other copy). Nothing copies one
// word to the other.
void SetMaskBit(ProjectEntry& entry, int copy, uint32_t mask, uint32_t set);

struct World;

// Gives the player the technology (its state byte becomes 2, as a completed
// project leaves it) and every prerequisite it lacks, recursively.
// Nothing for a technology index outside the table.
void GrantTechRecursive(World& world, int player, int tech);
