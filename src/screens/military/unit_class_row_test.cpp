// The class rows' icons, reused as list-row templates.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "screens/military/unit_class_row.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/string_control.h"
#include "world/text/text_lists.h"

namespace {

struct RowForm {
  RowForm(Screen& row, std::vector<int32_t> ids) : row_(row) {
    root = new Control(controltest::Init("ROW", &owner, 0, 0, 200, 16));
    for (int32_t id : ids)
      ControlAddChild(root, new StringControl(controltest::Init(nullptr, &owner, 0, 0, 20, 12), StringInit{}))->id = id;
    row.currentForm = row.form = root;
  }
  ~RowForm() {
    row_.currentForm = row_.form = nullptr;
    delete root;
  }
  RowForm(const RowForm&) = delete;
  RowForm& operator=(const RowForm&) = delete;
  std::vector<int32_t> Shown() const {
    std::vector<int32_t> ids;
    Control* const first = root->firstChild;
    Control* c = first;
    while (c) {
      if (!c->Hidden()) ids.push_back(c->id);
      c = c->NextInRing();
      if (c == first) break;
    }
    return ids;
  }
  controltest::RecordingScreen owner;
  Control* root;

 private:
  Screen& row_;
};

std::vector<int32_t> Range(int32_t first, int32_t last) {
  std::vector<int32_t> ids;
  for (int32_t id = first; id <= last; ++id) ids.push_back(id);
  return ids;
}

class TextEntry {
 public:
  TextEntry(TextListId list, int index, const char* text)
      : at_(TextListInfoOf(list).first + index), saved_(g_textLists.entries[at_]) {
    g_textLists.entries[at_] = strdup(text);
  }
  ~TextEntry() {
    std::free(g_textLists.entries[at_]);
    g_textLists.entries[at_] = saved_;
  }
  TextEntry(const TextEntry&) = delete;
  TextEntry& operator=(const TextEntry&) = delete;

 private:
  int at_;
  char* saved_;
};

// Each row is drawn after the one above in the same template, as a list
// draws them: nothing of the earlier row may stay shown.
TEST(UnitClassRows, OneIconByKey) {
  TextEntry group0(kListMilclass, 0, "Infantry");
  TextEntry group24(kListMilclass, 24, "Marines");
  TextEntry group25(kListMilclass, 25, "Rangers");
  TextEntry category3(kListTechcategory, 3, "Naval");
  std::vector<int32_t> ids = Range(100, 125);
  for (int32_t id : Range(10, 16)) ids.push_back(id);
  for (int32_t id : Range(200, 206)) ids.push_back(id);
  const struct {
    intptr_t key;
    int32_t shown;
    const char* text;
  } rows[] = {{24, 124, "Marines"}, {1, 101, nullptr}, {25, 125, "Rangers"}, {0, 100, "Infantry"},
              {-3, 13, "Naval"},    {205, 205, nullptr}, {-9, -1, nullptr}, {207, -1, nullptr}};
  UnitClassRow row;
  RowForm form(row, ids);
  for (const auto& r : rows) {
    row.id = r.key;
    row.OnOpen();
    EXPECT_EQ(form.Shown(), r.shown < 0 ? std::vector<int32_t>{} : std::vector<int32_t>{r.shown}) << r.key;
    if (r.text) {
      EXPECT_STREQ(static_cast<StringControl*>(FormFindControlById(form.root, r.shown))->GetText(), r.text);
    }
  }
}

TEST(UnitClassRows, MissileBadgeByKey) {
  const struct {
    intptr_t key;
    std::vector<int32_t> shown;
  } rows[] = {{302, {302}}, {300, {300}}, {303, {303}}, {299, {}}, {304, {}}};
  MissileClassRow row;
  RowForm form(row, Range(300, 303));
  for (const auto& r : rows) {
    row.id = r.key;
    row.OnOpen();
    EXPECT_EQ(form.Shown(), r.shown) << r.key;
  }
}

}  // namespace
