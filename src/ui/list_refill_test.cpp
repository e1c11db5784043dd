// Refilling a list where the player left it: the selection comes back when
// its row does (by value, by id, or every saved row), the rows in view stay.
#include "ui/list_refill.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ui/control_test_support.h"
#include "ui/list_control.h"

namespace {

using controltest::RecordingScreen;

enum class Keep { kValue, kId, kSelections };

struct Row {
  const char* what;
  Keep keep;
  std::vector<int32_t> selectedBefore;  // ids, selected with Ctrl after the first
  std::vector<int32_t> refilled;        // ids of the rows after the fill
  std::vector<int32_t> selectedAfter;
};

std::vector<int32_t> Selected(const ListBoxControl* list) {
  std::vector<int32_t> ids;
  for (Control* r = ListNextSelected(list, nullptr); r; r = ListNextSelected(list, r)) ids.push_back(r->id);
  return ids;
}

void Fill(ListBoxControl* list, const std::vector<int32_t>& ids) {
  for (int32_t id : ids) ListAddTextItem(list, "row", id, 10 * id, 0, 0, 0);
}

TEST(ListRefill, TheSelectionAndTheRowsInViewComeBack) {
  const Row rows[] = {
      {"value kept", Keep::kValue, {12}, {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24}, {12}},
      {"value gone", Keep::kValue, {12}, {10, 11, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25}, {}},
      {"id kept", Keep::kId, {14}, {14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28}, {14}},
      {"id gone", Keep::kId, {14}, {15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29}, {}},
      {"all kept", Keep::kSelections, {11, 13}, {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23}, {11, 13}},
      {"one gone", Keep::kSelections, {11, 13}, {10, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24}, {13}},
  };
  for (const Row& row : rows) {
    RecordingScreen screen;
    std::unique_ptr<ListBoxControl> list{ListBoxConstruct(0, 0, 100, 100, 0, 5, &screen)};
    Fill(list.get(), {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24});
    ListLayoutRows(list.get());
    for (size_t i = 0; i < row.selectedBefore.size(); ++i)
      ListSetSelection(i == 0 ? 0 : 1, list.get(), row.selectedBefore[i], 0);
    list->scrollOffset = 24;
    const ListPlace place =
        row.keep == Keep::kSelections ? ClearKeepingSelections(list.get()) : ClearKeepingPlace(list.get());
    EXPECT_EQ(ListNextRow(list.get(), nullptr), nullptr) << row.what;
    Fill(list.get(), row.refilled);
    if (row.keep == Keep::kValue) RestoreSelectedValue(list.get(), place);
    if (row.keep == Keep::kId) RestoreSelectedId(list.get(), place);
    if (row.keep == Keep::kSelections) RestoreSelections(list.get(), place);
    EXPECT_EQ(Selected(list.get()), row.selectedAfter) << row.what;
    EXPECT_EQ(list->scrollOffset, 24) << row.what;
  }
}

}  // namespace
