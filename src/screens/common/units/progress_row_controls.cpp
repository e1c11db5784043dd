#include "screens/common/units/progress_row_controls.h"

#include <algorithm>

#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/slide_bar.h"

int32_t BadgeOverhang(Control* form, const char* lastBadge, int32_t narrowRight) {
  const Control* badge = Tag(form, lastBadge);
  if (!badge || badge->Hidden()) return 0;
  return std::max(badge->rect.right - narrowRight, 0);
}

void ProgressRowControls::Bind(Control* f) {
  nameText = f ? FormFindControlById(f, 2) : nullptr;
  progressBar = dynamic_cast<SlideBarControl*>(Tag(f, "PROGBAR"));
  strengthBar = dynamic_cast<SlideBarControl*>(Tag(f, "STRSLDR"));
  const char* iconTags[] = {"CARGOICON", "MISICON", "RESICON", "LANDEDICON"};
  for (int i = 0; i < 4; ++i) icons[i] = Tag(f, iconTags[i]);
}
