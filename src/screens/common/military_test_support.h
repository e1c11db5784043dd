#pragma once
// For the military screens' tests: a form of controls made on demand by tag
// or id, and text-list entries put back after the test.
#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "ui/bitmap_control.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "world/text/text_lists.h"

namespace militarytest {

struct TestSheet {
  TestSheet() : root(new Control(controltest::Init("SHEET", &owner, 0, 0, 400, 400))) {}
  ~TestSheet() { delete root; }
  TestSheet(const TestSheet&) = delete;
  TestSheet& operator=(const TestSheet&) = delete;
  template <typename C = StringControl>
  C* Add(const char* tag, int32_t id = 0) {
    C* c = nullptr;
    if constexpr (std::is_same_v<C, StringControl>) {
      c = new StringControl(controltest::Init(nullptr, &owner, 0, 0, 40, 12), StringInit{.bufferSize = 31});
    } else {
      c = new C;
    }
    if (tag) SetControlTag(c, tag);
    ControlAddChild(root, c)->id = id;
    return c;
  }
  void Texts(std::initializer_list<const char*> tags) {
    for (const char* tag : tags) Add(tag);
  }
  Control* Find(const char* tag) const { return FormFindControlByTag(root, tag); }
  Control* Find(int32_t id) const { return FormFindControlById(root, id); }
  template <typename K>
  std::string Text(K key) const { return static_cast<StringControl*>(Find(key))->GetText(); }
  controltest::RecordingScreen owner;
  Control* root;
};

class TextPatch {
 public:
  TextPatch() = default;
  ~TextPatch() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
      std::free(std::exchange(g_textLists.entries[it->first], it->second));
  }
  TextPatch(const TextPatch&) = delete;
  TextPatch& operator=(const TextPatch&) = delete;
  void Set(TextListId list, int index, const std::string& text) {
    const int at = TextListInfoOf(list).first + index;
    saved_.emplace_back(at, std::exchange(g_textLists.entries[at], strdup(text.c_str())));
  }

 private:
  std::vector<std::pair<int, char*>> saved_;
};

}  // namespace militarytest
