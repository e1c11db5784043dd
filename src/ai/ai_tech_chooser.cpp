#include "ai/ai_tech_design.h"
#include "ai/ai_unit_build.h"

int32_t AiChooseTechClass(const World& world, const PlayerRecord& region, const TechClassQuery& query, float* score) {
  ClassChoice choice;
  choice.role = query.role;
  choice.blend = query.blend;
  choice.subRole = query.subRole;
  choice.domainMask = query.domainMask;
  choice.sizeLimit = query.sizeLimit;
  choice.designMode = query.pool == ClassPool::kDesign;
  choice.researchMode = query.pool == ClassPool::kResearch;
  return AiChooseUnitClass(world, region, choice, score);
}
