// The object pop-ups: which objects they step through and in what order,
// the one they open on, and stepping round the ring.
#include "screens/main/object_popups.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <tuple>
#include <vector>

#include "records/order_words.h"
#include "records/unit_record.h"
#include "ui/screen_set.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

// Classes: 1 a base (stock mask set), 2 a store (storage only), 3 a silo,
// 4 a haven (a base kind without stock categories).
constexpr int32_t kBase = 1, kStore = 2, kSilo = 3, kHaven = 4;

class ObjectPopupsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedLocal_ = g_world.gameState.localPlayer;
    g_world.gameState.localPlayer = 1;
    g_world.unitClasses.assign(5, UnitClassRecord{});
    for (int32_t c : {kBase, kStore, kSilo, kHaven}) {
      UnitClassRecord& cls = g_world.unitClasses[static_cast<size_t>(c)];
      cls.flags = kClassFacility | kClassSettlement | (c == kHaven ? kClassHaven : 0);
      auto* bytes = reinterpret_cast<uint8_t*>(static_cast<UnitClassImage*>(&cls));
      bytes[133] = c == kBase ? 1 : 0;  // stock categories
      bytes[25] = c == kSilo ? 2 : 0;   // facility type
      const float storage = c == kStore ? 5.0f : 0.0f;
      std::memcpy(bytes + 108, &storage, sizeof storage);
    }
  }
  void TearDown() override {
    g_world.units = nullptr;
    units_.reset();
    g_world.unitClasses.clear();
    g_world.gameState.localPlayer = savedLocal_;
    for (Screen* s : {static_cast<Screen*>(&g_screens.basePopup), static_cast<Screen*>(&g_screens.depotPopup)})
      if (s->parameterList) s->parameterList->entries.clear();
  }
  // Units by id in one ring: (id, class, owner, unavailable).
  void Units(const std::vector<std::tuple<uint32_t, int32_t, int32_t, bool>>& rows) {
    count_ = rows.size();
    units_ = std::make_unique<UnitRecord[]>(count_);
    for (size_t i = 0; i < rows.size(); ++i) {
      UnitRecord& u = units_[i];
      auto [id, cls, owner, unavailable] = rows[i];
      u.id = id, u.classIndex = static_cast<int16_t>(cls), u.owner = static_cast<uint8_t>(owner);
      u.ordersShown[kPostureBits] = unavailable ? 1u : 0u;
      u.next = &units_[(i + 1) % rows.size()];
      u.prev = &units_[(i + rows.size() - 1) % rows.size()];
    }
    g_world.units = count_ ? &units_[0] : nullptr;
  }
  static std::vector<intptr_t> Shown(const Screen& s) {
    return s.parameterList ? s.parameterList->entries : std::vector<intptr_t>{};
  }

  std::unique_ptr<UnitRecord[]> units_;
  size_t count_ = 0;
  int32_t savedLocal_ = 0;
};

TEST_F(ObjectPopupsTest, ListsTheLocalObjectsOfTheKindAvailableFirst) {
  Units({{10, kBase, 1, true}, {11, kStore, 1, false}, {12, kBase, 1, false}, {13, kBase, 2, false},
         {14, kSilo, 1, false}, {15, kStore, 1, true}, {16, kHaven, 1, false}});
  struct Row {
    const char* what;
    Screen& popup;
    void (*open)(ScreenSet&, const UnitRecord*, int32_t);
    size_t given;  // index into the units, or past them for none
    std::vector<intptr_t> entries;
    intptr_t id;
  };
  const Row rows[] = {
      {"bases: available 12, then 10; not another's", g_screens.basePopup, OpenBasePopup, 0, {12, 10}, 10},
      {"a unit not in the list shows the first", g_screens.basePopup, OpenBasePopup, 1, {12, 10}, 12},
      {"depots: available havens and stores, then the rest", g_screens.depotPopup, OpenDepotPopup, 9,
       {16, 11, 15}, 16},
  };
  for (const Row& r : rows) {
    r.popup.id = 0;
    r.open(g_screens, r.given < count_ ? &units_[r.given] : nullptr, 0);
    EXPECT_EQ(Shown(r.popup), r.entries) << r.what;
    EXPECT_EQ(r.popup.id, r.id) << r.what;
  }
  Units({{20, kSilo, 1, false}});
  g_screens.basePopup.id = 77;
  OpenBasePopup(g_screens, nullptr, 0);
  EXPECT_EQ(g_screens.basePopup.id, 77) << "no bases: nothing opens";
}

TEST_F(ObjectPopupsTest, SelectListItemStepsRoundTheRing) {
  Screen& popup = g_screens.basePopup;
  const ScreenParameterList list{{5, 6, 7}, 5, nullptr};
  popup.Popup(5, &list);
  struct Row {
    intptr_t from;
    int32_t direction;
    intptr_t to;
  };
  const Row rows[] = {{7, 1, 5}, {5, 1, 6}, {5, -1, 7}, {6, 0, 5}, {99, 1, 6}, {99, -1, 7}};
  for (const Row& r : rows) {
    popup.id = r.from;
    SelectListItem(popup, r.direction);
    EXPECT_EQ(popup.id, r.to) << r.from << " " << r.direction;
  }
}

}  // namespace
