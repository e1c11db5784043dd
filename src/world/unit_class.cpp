#include "world/unit_class.h"

#include "records/unit_record.h"
#include "world/world.h"

const UnitClassRecord* ClassRecordAt(const World& world, int32_t classIndex) {
  if (classIndex < 0 || static_cast<size_t>(classIndex) >= world.unitClasses.size()) return nullptr;
  return &world.unitClasses[static_cast<size_t>(classIndex)];
}

const UnitClassRecord* UnitClassOf(const World& world, const UnitImage& unit) {
  return ClassRecordAt(world, unit.classIndex);
}

bool UnitClassOrderable(const World& world, int32_t classIndex) {
  const UnitClassRecord* cls = ClassRecordAt(world, classIndex);
  return cls && classIndex > 0 && cls->strengthPerSize > 0;
}
