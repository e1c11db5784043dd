#include "screens/economy/research/research_note.h"

#include <cstdint>

#include "ui/control.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen.h"
#include "ui/string_control.h"

namespace {

constexpr uint8_t kNoteAlpha = 140;
constexpr uint32_t kNoteTextColour = 0xFF007D00;
constexpr uint32_t kNoteDrawFlag = 0x200000;

}  // namespace

void StyleResearchNote(Screen& screen) {
  if (auto* note = dynamic_cast<StringControl*>(Tag(screen, "GRIDTECH"))) {
    SetAlpha(note->fills[0], kNoteAlpha);
    note->fills[1] = note->fills[0];
    note->textColour = kNoteTextColour;
    note->flags |= kNoteDrawFlag;
  }
}
