#include "world/text/rule_tables.h"

RuleTables g_ruleTables;

// The world holds one set of rule tables for the whole run.
RuleTables& RuleTablesOf(World&) { return g_ruleTables; }
const RuleTables& RuleTablesOf(const World&) { return g_ruleTables; }

int32_t LoadDeptPriorities(World& w, const char* name) { return LoadDeptPriorities(RuleTablesOf(w).deptPriorities, name); }
int32_t LoadCabinetConcerns(World& w, const char* name) { return LoadCabinetConcerns(RuleTablesOf(w).cabinetConcerns, name); }
int32_t LoadTechTreeEffects(World& w, const char* name) { return LoadTechTreeEffects(RuleTablesOf(w).techTreeEffects, name); }
int32_t LoadNewsItems(World& w, const char* name) { return LoadNewsItems(RuleTablesOf(w).messageTypes, name); }
int32_t LoadOrdersTable(World& w, const char* name) { return LoadOrdersTable(RuleTablesOf(w).orderTypes, name); }
int32_t LoadTrainingTable(World& w, const char* name) { return LoadTrainingTable(RuleTablesOf(w).trainingTypes, name); }
int32_t LoadRTreaties(World& w, const char* name) { return LoadRTreaties(RuleTablesOf(w).rTreatyTypes, name); }
int32_t LoadWTreaties(World& w, const char* name) { return LoadWTreaties(RuleTablesOf(w).wTreatyTypes, name); }
int32_t LoadWMVotes(World& w, const char* name) { return LoadWMVotes(RuleTablesOf(w).wmVoteTypes, name); }
int32_t LoadAIParams(World& w, const char* name) { return LoadAIParams(RuleTablesOf(w).aiParams, name); }

void LoadStartupRuleTables(World& w) {
  LoadDeptPriorities(w, "deptprior");
  LoadCabinetConcerns(w, "cabinetconcerns");
  LoadTechTreeEffects(w, "techtreeeffects");
  LoadNewsItems(w, "newsitems");
  LoadOrdersTable(w, "orders");
  LoadTrainingTable(w, "training");
  LoadRTreaties(w, "rtreaties");
  LoadWTreaties(w, "wtreaties");
  LoadWMVotes(w, "wmvotes");
  LoadAIParams(w, "AIparams");
}
