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
  std::unique_ptr<ListBoxControl> list{ListBoxConstruct(0, 0, 200, 100, 0, 1, nullptr)};
  ListAddTextItem(list.get(), "stale", 99, 99, 0, 0, 1);
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
    EXPECT_EQ(FillOrderList(*world, list.get(), c.selected, 0, 0), c.shared);
    std::vector<std::string> rows;
    for (Control* r = ListNextRow(list.get(), nullptr); r; r = ListNextRow(list.get(), r)) {
      rows.push_back(r->text);
      EXPECT_EQ(ListRowValue(r), r->text == "Advance" ? 2 : 3);
    }
    EXPECT_EQ(rows, c.rows);
  }
  plane.ordersShown[kOrderId] = 3;
  EXPECT_EQ(FillOrderList(*world, list.get(), {&tank, &plane}, 0, 0), 0u);
}

TEST_F(OrderListFill, TheStatusListTakesTheRowsWithTheirCodes) {
  UnitRecord& tank = Place(3, kTank, 1.0f, 1, 1);
  tank.ordersShown[kPostureBits] = kPostureInReserve;
  tank.disruption = 0.6f;
  std::unique_ptr<ListBoxControl> list{ListBoxConstruct(0, 0, 200, 100, 0, 1, nullptr)};
  ListAddTextItem(list.get(), "stale", 99, 99, 0, 0, 1);
  FillUnitStatusList(*world, list.get(), tank);
  ASSERT_EQ(list->rowCount, 2u);
  const Control* first = ListNextRow(list.get(), nullptr);
  const Control* second = ListNextRow(list.get(), first);
  EXPECT_EQ(first->text, "IN RESERVE");
  EXPECT_EQ(ListRowValue(first), 1);
  EXPECT_EQ(second->text, "HIGHLY SUPPRESSED");
  EXPECT_EQ(ListRowValue(second), 12);
}

}  // namespace
