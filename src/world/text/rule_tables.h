#pragma once
// The ten CSV rule tables the game reads when it first enters the front end
// or the editor, held together for the whole run. Each loader reads its
// table by name and returns 0, or the generic failure when the file cannot be
// read (the table then stays as it was).
#include <cstdint>

#include "world/text/ai_params.h"
#include "world/text/dept_tables.h"
#include "world/text/message_types.h"
#include "world/text/order_types.h"
#include "world/text/tech_tree_effects.h"
#include "world/text/training_types.h"
#include "world/text/treaty_types.h"

struct World;

struct RuleTables {
  DeptPriorityTable deptPriorities;
  CabinetConcernTable cabinetConcerns;
  TechEffectTable techTreeEffects;
  MessageTypeTable messageTypes;
  OrderTypeTable orderTypes;
  TrainingTable trainingTypes;
  TreatyTypeTable rTreatyTypes;
  TreatyTypeTable wTreatyTypes;
  TreatyTypeTable wmVoteTypes;
  AiParams aiParams;
};

extern RuleTables g_ruleTables;

// The rule tables of a world.
RuleTables& RuleTablesOf(World& world);
const RuleTables& RuleTablesOf(const World& world);

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

// The ten tables every entry into the front end or the editor reads, in
// their order; each failure is ignored (a missing table keeps what it had).
void LoadStartupRuleTables(World& world);
