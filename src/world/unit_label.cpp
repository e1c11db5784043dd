#include "world/unit_label.h"

#include <cstdio>

#include "app/ordinal_suffix.h"

#include "records/text_field.h"
#include "records/unit_record.h"
#include "world/unit_class.h"
#include "world/text/text_lists.h"

namespace {

constexpr int kLabelSize = 35;
constexpr int kLabelWords = 3;

}  // namespace

const char* UnitLabelText(const World& world, const UnitRecord* unit) {
  // The interface and the computer players label units at the same time.
  thread_local char label[kLabelSize];
  label[0] = '\0';
  if (!unit) return label;
  const UnitClassRecord* cls = UnitClassOf(world, *unit);
  const std::string name = cls ? FieldText(cls->name) : std::string();
  if (cls && (cls->flags & kClassStock)) {
    std::snprintf(label, sizeof label, "%s", name.c_str());
    return label;
  }
  std::snprintf(label, sizeof label, "%d%s %s %s", unit->serial, OrdinalSuffix(unit->serial, OrdinalSuffixTexts(g_textLists)).c_str(),
                TextListText(kListMilclassabbr, unit->unitType), name.c_str());
  int blanks = 0;
  for (char* c = label; *c; ++c)
    if (*c == ' ' && ++blanks == kLabelWords) {
      *c = '\0';
      break;
    }
  return label;
}
