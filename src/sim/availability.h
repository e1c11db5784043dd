#pragma once
// Technology and design availability: the per-region rows and the research
// projects' flag words.
#include <cstdint>
#include <vector>

struct ProjectEntry;

// Sets (set non-zero) or clears the mask's bits in the project's display
// flags (copy 0) or simulation flags (any other copy). Nothing copies one
// word to the other.
void SetMaskBit(ProjectEntry& entry, int copy, uint32_t mask, uint32_t set);

struct World;

// The known byte research leaves; the map editor writes 1.
inline constexpr uint8_t kKnownByResearch = 2;
inline constexpr uint8_t kKnownByEditor = 1;
// Gives the player the technology (its state byte becomes known) and every
// prerequisite it lacks, recursively; with clearMarks each granted entry's
// project marks go too. A technology already known stops the walk there.
// Nothing for a technology index outside [1, count).
void GrantTechRecursive(World& world, int player, int tech, uint8_t known = kKnownByResearch,
                        bool clearMarks = false);
// Grants, the same way, both required technologies of every class in use,
// not excluded, not a facility, that the player's design row makes available.
void GrantDesignTechs(World& world, int player, uint8_t known, bool clearMarks);
// Takes the technology from the player (state and project marks cleared)
// and, recursively, every technology the player knows that names it as a
// prerequisite (0 names none). With revokeDesigns the designs that need it,
// and the unused, excluded and facility classes, lose their bit 0.
// Nothing for a technology index outside the table.
void ClearTechAndDependents(World& world, int player, int tech, bool revokeDesigns);

// Sets (set non-zero) or clears the mask's bits in the player's design byte
// of the class; nothing for a class outside the table or the row.
void SetDesignAvailable(World& world, uint8_t mask, int player, int classIndex, bool set);

// Completes the player's project: both flag words and the remaining cost
// are cleared; a technology becomes known (2) and a design available, and
// the row's open and held marks go.
void GrantItem(World& world, ProjectEntry& entry, int player);

// 1 when both prerequisites of the project's technology or design are met
// for the player (none, outside the table, an empty slot, or known), else 0.
// Only the two named prerequisites are looked at, not theirs. Any kind but
// a technology or a design is always available.
int ItemAvailability(const World& world, const ProjectEntry& entry, int player);
// The same test for technology `tech` without a project.
int TechnologyAvailability(const World& world, int tech, int player);

// The project's research weight: a technology's value over its research
// cost, a design's (n x b + 0.9) / (n x T + 1.0); 0 for any other kind.
float ItemRatio(const World& world, const ProjectEntry& entry);

// The player's projects the research screens list, from the last to the
// first: those of the kind (any with a negative kind) whose flag word
// (simulation copy when copy is not 0, else display copy) shares a bit with
// the wanted bits (any when 0) and none with the excluded bits. The screens
// make one icon row of each, with no row marked.
std::vector<ProjectEntry*> ListProjects(World& world, int player, int kind, uint32_t wanted, uint32_t excluded,
                                        int copy);

// The technologies a screen lists, in table order: not empty slots, of the
// category (any when negative), within the player's level when levelCheck is
// set, known or not as knownFilter says (1 or 0; any when negative; the first
// technology always counts as known), with the open mark as openFilter says
// (any when negative), and with both prerequisites met when prereqCheck is
// set. The screens make a text row of each with its name and index.
std::vector<int> WalkTechTable(const World& world, int player, int category, bool levelCheck, int knownFilter,
                               int openFilter, bool prereqCheck);
