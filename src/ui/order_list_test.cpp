#include "ui/order_list.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "ui/list_control.h"
#include "ui/unit_status_list.h"
#include "units/handover_test_world.h"
#include "world/text/rule_tables.h"

namespace {

using namespace handover_test;

// Orders 2 (land and air) and 3 (land only), both listed in mode 0.
class OrderListFill : public ::testing::Test, public World6 {
 protected:
  OrderListFill() {
    for (int id : {2, 3}) {
      OrderTypeRecord& r = g_ruleTables.orderTypes.entries[id];
      saved_[id - 2] = std::move(r);
      r = OrderTypeRecord{};
      r.name.reset(strdup(id == 2 ? "Advance" : "Dig In"));
      r.listModes = 1;
      r.categories[0] = 1;
      r.categories[1] = id == 2 ? 1 : 0;
    }
  }
  ~OrderListFill() override {
    for (int id : {2, 3}) g_ruleTables.orderTypes.entries[id] = std::move(saved_[id - 2]);
  }

 private:
  OrderTypeRecord saved_[2];
};

TEST_F(OrderListFill, RowsCarryTheOrderIdsTheSelectionShares) {
  UnitRecord& tank = Place(3, kTank, 1.0f, 1, 1);
  UnitRecord& plane = Place(3, kPlane, 1.0f, 1, 1);
  tank.ordersShown[kOrderId] = plane.ordersShown[kOrderId] = 2;
  ListControl list;
  ListAddTextItem(list, "stale", 99);
  struct Case {
    std::vector<const UnitRecord*> selected;
    std::vector<std::string> rows;
    uint32_t shared;
  };
  const Case cases[] = {
      {{&tank}, {"Advance", "Dig In"}, 2},
      {{&tank, &plane}, {"Advance"}, 2},
      {{}, {}, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FillOrderList(*world, list, c.selected, 0, 0), c.shared);
    std::vector<std::string> rows;
    for (const ListRow& r : list.rows) rows.push_back(r.text);
    EXPECT_EQ(rows, c.rows);
    for (const ListRow& r : list.rows) EXPECT_EQ(r.value, r.text == "Advance" ? 2 : 3);
  }
  plane.ordersShown[kOrderId] = 3;
  EXPECT_EQ(FillOrderList(*world, list, {&tank, &plane}, 0, 0), 0u);
}

TEST_F(OrderListFill, TheStatusListTakesTheRowsWithTheirCodes) {
  UnitRecord& tank = Place(3, kTank, 1.0f, 1, 1);
  tank.ordersShown[kPostureBits] = kPostureInReserve;
  tank.disruption = 0.6f;
  ListControl list;
  ListAddTextItem(list, "stale", 99);
  FillUnitStatusList(*world, list, tank);
  ASSERT_EQ(list.rows.size(), 2u);
  EXPECT_EQ(list.rows[0].text, "IN RESERVE");
  EXPECT_EQ(list.rows[0].value, 1);
  EXPECT_EQ(list.rows[1].text, "HIGHLY SUPPRESSED");
  EXPECT_EQ(list.rows[1].value, 12);
}

}  // namespace
