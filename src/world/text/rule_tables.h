#pragma once
// The CSV rule tables read at the first entry into the front end or editor.
#include <cstdint>

struct World;

int32_t LoadDeptPriorities(World& world, const char* name);
int32_t LoadCabinetConcerns(World& world, const char* name);
int32_t LoadTechTreeEffects(World& world, const char* name);
int32_t LoadNewsItems(World& world, const char* name);
int32_t LoadOrdersTable(World& world, const char* name);
int32_t LoadTrainingTable(World& world, const char* name);
int32_t LoadRTreaties(World& world, const char* name);
int32_t LoadWTreaties(World& world, const char* name);
int32_t LoadWMVotes(World& world, const char* name);
int32_t LoadAIParams(World& world, const char* name);
