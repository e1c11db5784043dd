#include "screens/common/product_tabs.h"

#include <cstdint>

#include "ui/control.h"
#include "ui/control_tree.h"
#include "world/text/text_lists.h"

namespace {

constexpr int32_t kFirstTabId = 100;
constexpr int32_t kTabCount = 8;

}  // namespace

void LabelProductTabs(Control* form) {
  for (int32_t i = 0; i < kTabCount; ++i) {
    Control* tab = FormFindControlById(form, kFirstTabId + i);
    if (!tab) continue;
    ControlSetText(tab, nullptr);
    const char* text = TextListEntry(g_textLists, kListProdtabs, i);
    if (text && *text) ControlSetText(tab, text);
  }
}
