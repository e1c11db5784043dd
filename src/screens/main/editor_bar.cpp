#include "screens/main/editor_bar.h"

#include <cstring>

#include "ui/control.h"
#include "world/text/editor_bar_readouts.h"
#include "world/world.h"

namespace {

constexpr size_t kTagSize = 12;

bool TagIs(const Control& control, const char* tag) {
  char wanted[kTagSize] = {};
  std::memcpy(wanted, tag, strnlen(tag, kTagSize));
  return std::memcmp(control.tag, wanted, kTagSize) == 0;
}

}  // namespace

Control* FindTaggedControl(Control* root, const char* tag) {
  if (!root) return nullptr;
  if (TagIs(*root, tag)) return root;
  for (Control* child = root->FirstChild(); child; child = child->NextSibling()) {
    if (Control* found = FindTaggedControl(child, tag)) return found;
  }
  return nullptr;
}

void EditorBar::InspectHexText(void*) {
  const EditorBarReadouts r = ComputeEditorBarReadouts(g_world);
  const std::pair<const char*, const std::string*> texts[6] = {
      {"POPULATION", &r.population}, {"SIZE", &r.size}, {"GDP", &r.gdp},
      {"COUNTRY", &r.country},       {"DATE", &r.date}, {"TREASURY", &r.treasury}};
  for (size_t i = 0; i < fields_.size(); ++i) {
    Field& field = fields_[i];
    field.control = FindTaggedControl(currentForm ? currentForm : form, texts[i].first);
    field.text = field.control ? *texts[i].second : std::string();
  }
}

const std::string* EditorBar::FieldText(const Control* field) const {
  if (!field) return nullptr;
  for (const Field& f : fields_)
    if (f.control == field) return &f.text;
  return nullptr;
}
