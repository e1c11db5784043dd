#include "screens/common/facilities/build_classes.h"

#include <cstring>
#include <string>

#include "ui/list_control.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

bool HoldsPrerequisite(const World& world, int player, int16_t tech) {
  if (tech <= 0 || static_cast<size_t>(tech) >= world.techs.size()) return true;
  if (!world.techs[static_cast<size_t>(tech)].name) return true;
  const PlayerTechState* row = TechRow(world, player);
  return row && row[tech].known != 0;
}

bool BuildClassOpen(World& world, int32_t c, uint32_t classFlag) {
  const int player = world.gameState.localPlayer;
  const uint8_t* design = DesignRow(world, player);
  const UnitClassRecord* cls = ClassRecordAt(world, c);
  if (!cls || !cls->name[0] || !(cls->flags & classFlag) || (cls->flags & kClassObsolete)) return false;
  if (!design || static_cast<int32_t>(world.gameState.designRowBytes) <= c || !(design[c] & 1u)) return false;
  return HoldsPrerequisite(world, player, cls->requiredTechs[0]) &&
         HoldsPrerequisite(world, player, cls->requiredTechs[1]);
}

void AddBuildRow(void* context, int32_t classIndex) {
  auto* rows = static_cast<BuildRows*>(context);
  const UnitClassRecord* cls = ClassRecordAt(*rows->world, classIndex);
  const std::string name(cls->name, strnlen(cls->name, sizeof cls->name));
  ListAddTextItem(rows->list, name.c_str(), classIndex + rows->rowBase, 0, 0, 0, 0);
}
