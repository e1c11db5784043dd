#include "screens/economy/cabinet/cabinet_candidates.h"

#include <cmath>
#include <string>

#include "records/command_ids.h"
#include "screens/economy/cabinet/cabinet_candidate.h"
#include "screens/economy/cabinet/cabinet_screen.h"
#include "screens/economy/policy/policy_figures.h"
#include "screens/common/frame/map_selection.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/policy_command_args.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "ui/text_box.h"
#include "world/text/people_bio.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

constexpr uint32_t kBioCapacity = 1024;
constexpr uint32_t kSeated = 1;
constexpr int32_t kPagerFirstCell = 101;

// A rating bar of 0 to 100: with a power curve k the top is 100 to the 1/k.
void SetRating(Control* control, int32_t value) {
  auto* bar = dynamic_cast<SlideBarControl*>(control);
  if (!bar) return;
  const int32_t top = bar->exponent > 0 ? static_cast<int32_t>(std::pow(100.0, 1.0 / bar->exponent)) : 100;
  SliderSetMaxInt(bar, top);
  SliderSetValueIntNotify(bar, value);
}

CabinetCandidate Candidate(int32_t c) {
  plat::CriticalSectionLock lock(g_simulationLock);
  return ReadCandidate(g_world, c);
}

void PostSeat(int32_t department, int32_t candidate) {
  PostArgs(kCmdCabSetSid, CabinetSeatArgs{.post = static_cast<uint32_t>(department),
                                          .first = static_cast<uint32_t>(kSeated),
                                          .second = static_cast<uint32_t>(candidate)});
}

}  // namespace

void OpenCabinetPager(int32_t department) { g_screens.cabinet.Popup(department, nullptr); }

void OpenCandidateSheet(int32_t department, int32_t candidate, bool viewOnly) {
  CandidateBioScreen& sheet = g_screens.cabinetBio;
  sheet.candidate = candidate;
  sheet.viewOnly = viewOnly;
  sheet.Popup(department, nullptr);
}

// The pager.

void CabinetPager::OnOpen() {
  const int32_t d = static_cast<int32_t>(id);
  ControlSetText(Tag(*this, "DEPT"), TextListEntry(g_textLists, kListCabinets, d));
  SetHidden(Tag(*this, "LEFTBUT"), page <= kFirstCabinetPage);
  SetHidden(Tag(*this, "RIGHTBUT"), page >= kLastCabinetPage);
  ControlSetText(Tag(*this, "POLITIC"), TextListEntry(g_textLists, kListPolitic, page + 1));
  uint8_t minister = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    minister = SeatedMinister(d);
  }
  for (int32_t i = 0; i < kCabinetCells; ++i) {
    CabinetGridPanel& cell = g_screens.cabinetGrid[static_cast<size_t>(i)];
    Control* host = Id(*this, kPagerFirstCell + i);
    if (!host) continue;
    const int32_t c = FirstCandidateOfPage(page) + i;
    cell.department = d;
    cell.layout = 0;
    cell.Show(c, host);
    SetControlFlag(Id(cell, 1), kStateSelected, c == minister);
  }
}

void CabinetPager::OnCommand(Control* control, int32_t) {
  if (!control) return;
  if (Is(control, "CLOSE")) {
    Close();
    return;
  }
  const int32_t step = Is(control, "LEFTBUT") ? -1 : Is(control, "RIGHTBUT") ? 1 : 0;
  if (step == 0) return;
  Close();
  page = std::clamp(page + step, kFirstCabinetPage, kLastCabinetPage);
  Popup(id, nullptr);
}

// A cell.

void CabinetGridPanel::OnOpen() {
  const int32_t c = static_cast<int32_t>(id);
  const CabinetCandidate who = Candidate(c);
  ShowCandidatePortrait(c, Id(*this, 1), Id(*this, 2));
  SetHidden(Tag(*this, "GRID3"), who.status != 2);
  const int32_t general[] = {who.generalIq, who.diplomaticIq, who.economicIq, who.productionIq, who.domesticIq};
  const int32_t military[] = {who.leadership, who.militaryRating, who.tactics, who.militaryIq, who.initiative};
  for (int32_t i = 0; i < 5; ++i) SetRating(Id(*this, 4 + i), layout == 0 ? general[i] : military[i]);
}

void CabinetGridPanel::OnCommand(Control* control, int32_t) {
  if (!control || (control->id != 1 && control->id != 3)) return;
  const int32_t c = static_cast<int32_t>(id);
  g_screens.cabinet.Close();
  if (control->id == 1) {
    if (layout == 0) OpenCandidateSheet(department, c, false);
    return;
  }
  if (layout == 0) PostSeat(department, c);
  RefreshDockedPanels(g_screens);
}

// The sheet.

void CandidateBioScreen::BindControls() { bio = MakeTextBox("BIO", 0, currentForm); }

void CandidateBioScreen::OnOpen() {
  SetHidden(Tag(*this, "PREVBUT"), viewOnly || candidate <= kFirstCandidate);
  SetHidden(Tag(*this, "NEXTBUT"), viewOnly || candidate >= kLastCandidate);
  SetHidden(Tag(*this, "REJECTBUT"), viewOnly);
  SetHidden(Tag(*this, "ACCEPTBUT"), viewOnly);
  CabinetCandidate c;
  std::string text;
  int32_t age = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    c = ReadCandidate(g_world, candidate);
    age = CandidateAge(g_world, c);
    if (candidate >= kFirstCandidate && candidate <= kLastCandidate) text = g_peopleBio.slots[candidate].c_str();
  }
  ControlSetText(Tag(*this, "NAME"), c.name);
  ShowCandidatePortrait(candidate, Tag(*this, "CABPIC"), nullptr);
  ControlSetText(Tag(*this, "POLITIC"), TextListEntry(g_textLists, kListPolitic, PoliticIndex(c.leaning)));
  const struct {
    const char* tag;
    int32_t value;
  } bars[] = {{"EXPERIENCE", c.experience}, {"GENIQ", c.generalIq},      {"POPULARITY", c.popularity},
              {"INITIATIVE", c.initiative}, {"INTEGRITY", c.integrity},  {"COMPETENCE", c.competence},
              {"CHARISMA", c.charisma},     {"ECIQ", c.economicIq},      {"MILIQ", c.militaryIq},
              {"DIPIQ", c.diplomaticIq},    {"PRODIQ", c.productionIq},  {"DOMIQ", c.domesticIq}};
  for (const auto& b : bars) SetRating(Tag(*this, b.tag), b.value);
  if (auto* a = dynamic_cast<StringControl*>(Tag(*this, "AGE"))) a->SetTextFormat("%2d", age);
  if (bio) TextBoxSetText(bio, text.c_str(), kBioCapacity, 1);
  outcome = -1;
}

int32_t CandidateBioScreen::Close(int32_t noReturn) {
  const int32_t result = Screen::Close(noReturn);
  const int32_t department = static_cast<int32_t>(id);
  if (outcome == 0 && department >= 0) OpenCabinetPager(department);
  return result;
}

void CandidateBioScreen::OnCommand(Control* control, int32_t) {
  if (!control) return;
  const int32_t department = static_cast<int32_t>(id);
  if (Is(control, "ACCEPTBUT")) {
    outcome = 1;
    PostSeat(department, candidate);
    Close();
    RefreshDockedPanels(g_screens, 0);
  } else if (Is(control, "REJECTBUT")) {
    outcome = 0;
    Close();
  } else if (Is(control, "PREVBUT") || Is(control, "NEXTBUT")) {
    const int32_t next = candidate + (Is(control, "NEXTBUT") ? 1 : -1);
    if (next < kFirstCandidate || next > kLastCandidate) return;
    outcome = -1;
    Close();
    OpenCandidateSheet(department, next, false);
  } else if (Is(control, "CLOSE")) {
    Close();
  }
}
