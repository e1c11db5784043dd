#include "screens/common/units/deploy_readiness.h"

#include "records/hex_cell.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "world/data_tables.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

int32_t DeployReadiness(const World& world, const UnitRecord& unit) {
  const UnitClassRecord* cls = ClassRecordAt(world, unit.classIndex);
  if (!cls) return 1;
  // The unit's placement kind against its class's.
  const uint8_t deploy = cls->deployFirst, secondPlacement = cls->secondPlacement;
  const uint8_t placementsA = cls->placementsA, placementsB = cls->placementsB;
  const uint8_t placement = unit.byte18;
  // A class that never surrenders is also one that does not deploy first.
  if (deploy == 0 || (cls->flags & kClassNeverSurrenders)) return 1;
  if (placement != 0 && !(placement == 2 && secondPlacement != 0)) return 1;
  if (placement == 0 && placementsA == 0 && placementsB == 0) return 1;
  if ((unit.orders[kOrdersHeader] & kHeaderNoCapture) && !(unit.orders[kOrderFlags] & kOrderTakeGround)) return 1;
  const float full = static_cast<float>(cls->strengthPerSize) * unit.targetStrength;
  if (unit.strength < full * 0.25f) {
    const bool onMap = unit.x >= 0 && unit.y >= 0 && unit.x < world.mapWidth && unit.y < world.mapHeight;
    const size_t at = onMap ? static_cast<size_t>(unit.y) * static_cast<size_t>(world.mapWidth) +
                                  static_cast<size_t>(unit.x)
                            : world.cells.size();
    const bool ownHex = at < world.cells.size() && CellOwner(world.cells[at].word) == (unit.owner & 31);
    if (!ownHex) return 1;
  }
  return 0;
}
