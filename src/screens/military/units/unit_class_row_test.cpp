// The class rows' icons, reused as list-row templates: each row is drawn
// after the one above in the same template, so nothing of the earlier row
// may stay shown.
#include <gtest/gtest.h>

#include "screens/common/military_test_support.h"
#include "records/unit_record.h"
#include "screens/common/units/unit_class_row.h"
#include "screens/military/units/unit_progress_row.h"
#include "world/data_tables.h"
#include "world/world.h"

namespace {

std::vector<int32_t> ShownIds(const militarytest::TestSheet& form, int32_t first, int32_t last) {
  std::vector<int32_t> ids;
  for (int32_t id = first; id <= last; ++id)
    if (Control* c = form.Find(id); c && !c->Hidden()) ids.push_back(id);
  return ids;
}

TEST(UnitClassRows, OneIconByKey) {
  militarytest::TextPatch texts;
  texts.Set(kListMilclass, 24, "Marines");
  texts.Set(kListMilclass, 25, "Rangers");
  texts.Set(kListTechcategory, 3, "Naval");
  const struct {
    intptr_t key;
    std::vector<int32_t> shown;
    const char* text;
  } rows[] = {{24, {124}, "Marines"}, {1, {101}, nullptr}, {25, {125}, "Rangers"}, {-3, {13}, "Naval"},
              {205, {205}, nullptr},  {-9, {}, nullptr},   {207, {}, nullptr}};
  UnitClassRow row;
  militarytest::TestSheet form;
  for (int32_t id = 10; id <= 206; ++id)
    if (id <= 16 || (id >= 100 && id <= 125) || id >= 200) form.Add(nullptr, id);
  row.currentForm = form.root;
  for (const auto& r : rows) {
    row.id = r.key;
    row.OnOpen();
    EXPECT_EQ(ShownIds(form, 10, 206), r.shown) << r.key;
    if (r.text) {
      EXPECT_EQ(form.Text(r.shown[0]), r.text) << r.key;
    }
  }
  MissileClassRow missile;
  militarytest::TestSheet badges;
  for (int32_t id = 300; id <= 303; ++id) badges.Add(nullptr, id);
  missile.currentForm = badges.root;
  for (const auto& [key, shown] : std::vector<std::pair<intptr_t, std::vector<int32_t>>>{
           {302, {302}}, {300, {300}}, {299, {}}, {304, {}}}) {
    missile.id = key;
    missile.OnOpen();
    EXPECT_EQ(ShownIds(badges, 300, 303), shown) << key;
  }
  row.currentForm = missile.currentForm = nullptr;
}

}  // namespace

namespace {

// Readiness (1.1 - 0.1) x 1 x 1 x 1.5 held at 1 is green; no fuel of a
// class that holds fuel, or no morale, is red; half fuel of a fifth's room
// is 0.75 of green.
TEST(UnitClassRows, StrengthBarReadiness) {
  UnitClassRecord cls{};
  cls.fuelCapacity = 10.0f;
  const struct {
    float fuel, morale;
    uint32_t colour;
  } rows[] = {{10.0f, 1.0f, 0xFF00FF00u}, {0.0f, 1.0f, 0xFFFF0000u}, {5.0f, 1.0f, 0xFF40BF00u},
              {10.0f, -1.0f, 0xFFFF0000u}};
  for (const auto& r : rows) {
    UnitRecord unit{};
    unit.strength = 5.0f, unit.efficiency = 1.0f, unit.disruption = 0.1f, unit.fuel = r.fuel, unit.morale = r.morale;
    EXPECT_EQ(ReadinessColour(g_world, unit, cls), r.colour) << r.fuel << " " << r.morale;
  }
}

}  // namespace
