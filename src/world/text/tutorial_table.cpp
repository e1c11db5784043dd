#include "world/text/tutorial_table.h"

#include "platform/status.h"
#include "world/text/csv_frame.h"

TutorialStep* g_tutorialSteps = nullptr;

namespace {

// Empty and missing cells keep the field's default.
TutorialStep* ReadStep(TextTokenizer& t) {
  auto* step = NewZeroed<TutorialStep>();
  if (!step) return nullptr;
  for (int32_t& v : step->values) v = ReadFieldInt32(t, v);
  step->title.reset(ReadFieldString(t, nullptr));
  step->number = ReadFieldInt32(t, 0);
  for (OwnedText& text : step->texts) text.reset(ReadFieldString(t, nullptr));
  step->flag = ReadFieldBool(t, 0);
  for (int32_t& v : step->extra) v = ReadFieldInt32(t, 0);
  return step;
}

}  // namespace

int32_t LoadTutorialTable(TutorialStep*& head, const char* name) {
  TextTokenizer t;
  if (LoadCsvText(t, "Tutorials\\", name, ".CSV") < 0) return plat::kFail;
  SkipLine(t);  // the header
  while (!AtEndOfText(t)) {
    if (!BeginTableLine(t, 0)) {
      SkipLine(t);
      continue;
    }
    if (ReadFieldInt32(t, 0) == 999) break;
    TutorialStep* step = ReadStep(t);
    if (!step) break;
    if (head)
      head->Append(step);
    else
      head = step;
    SkipLine(t);
  }
  return plat::kOk;
}

void FreeTutorialSteps(TutorialStep*& head) {
  // Each step leaves the ring before it goes; the last is left alone in it.
  while (head) {
    auto* following = static_cast<TutorialStep*>(head->next());
    head->Unlink();
    DeleteZeroed(head);
    head = following;
  }
}

int32_t LoadTutorialTable(World&, const char* name) { return LoadTutorialTable(g_tutorialSteps, name); }
