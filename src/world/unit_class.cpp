#include "world/unit_class.h"

#include "records/unit_record.h"
#include "world/world.h"

bool UnitClassOrderable(const World& world, int32_t classIndex) {
  const UnitClassRecord* cls = ClassRecordAt(world, classIndex);
  return cls && classIndex > 0 && cls->strengthPerSize > 0;
}
