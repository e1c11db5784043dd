#include "world/text/rule_tables.h"

#include <string>

#include "platform/paths.h"
#include "platform/status.h"

namespace {

// Until each table's reader lands, a table counts as read when its file is there.
int32_t CheckTable(const char* dir, const char* name) {
  if (!name) return plat::kFail;
  return plat::GameFileExists(std::string(dir) + name + ".CSV") ? plat::kOk : plat::kFail;
}

}  // namespace

int32_t LoadDeptPriorities(World&, const char* name) { return CheckTable("INI\\", name); }
int32_t LoadCabinetConcerns(World&, const char* name) { return CheckTable("INI\\", name); }
int32_t LoadTechTreeEffects(World&, const char* name) { return CheckTable("INI\\", name); }
int32_t LoadNewsItems(World&, const char* name) { return CheckTable("INI\\", name); }
int32_t LoadOrdersTable(World&, const char* name) { return CheckTable("INI\\", name); }
int32_t LoadTrainingTable(World&, const char* name) { return CheckTable("INI\\", name); }
int32_t LoadRTreaties(World&, const char* name) { return CheckTable("INI\\", name); }
int32_t LoadWTreaties(World&, const char* name) { return CheckTable("INI\\", name); }
int32_t LoadWMVotes(World&, const char* name) { return CheckTable("INI\\", name); }
int32_t LoadAIParams(World&, const char* name) { return CheckTable("AI\\", name); }
