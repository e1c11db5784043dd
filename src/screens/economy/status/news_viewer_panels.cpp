#include "screens/economy/status/news_viewer_panels.h"

#include <atomic>

#include "net/command_network.h"
#include "platform/fpenv.h"
#include "records/player_record.h"
#include "screens/common/region_row.h"
#include "screens/docked_panels.h"
#include "screens/economy/policy/policy_figures.h"
#include "screens/economy/status/status_screen.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/frame/map_view_state.h"
#include "sim/daily/elimination.h"
#include "sim/player_messages.h"
#include "sim/region_names.h"
#include "sim/simulation_lock.h"
#include "ui/bitmap_control.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "ui/text_box.h"
#include "units/class_fields.h"
#include "units/unit_texts.h"
#include "world/id_lookups.h"
#include "world/text/message_types.h"
#include "world/text/scenario_text.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

constexpr int32_t kCategoryControl = 51;
constexpr int32_t kCategories = 7;
constexpr int32_t kRegionRowShown = 210;
constexpr int32_t kRegionRowFilled = 310;
constexpr int32_t kRegionRows = 2;
constexpr int32_t kHighestLevelFrame = 4;
constexpr int32_t kHighestLevelText = 3;
constexpr int32_t kStackLimit = 7;
constexpr size_t kCapitalLabelLength = 47;

void SetFrame(Control* c, int32_t frame) {
  if (auto* bitmap = dynamic_cast<BitmapControl*>(c)) bitmap->frame = static_cast<uint8_t>(frame);
}

// The user's mute bit is read by the turn thread while this one writes it.
uint8_t& MuteByte(const MessageTypeRecord& type) { return const_cast<uint8_t&>(type.muteFlags); }

void ShowDate(Control* c, int32_t day) { SetControlText(c, StatusDateText(day).c_str()); }

void CentreOn(uint32_t packed) {
  GotoHexPacked(packed);
  CentreMapOnHex(g_mapView, packed);
}

}  // namespace

void NewsViewerPanel::OnOpen() { ClosePanelsAbove(g_ui, 2, 0); }

void NewsViewerPanel::BindControls() {
  DockInBotbar2(*this);
  body = MakeTextBox("LIST1", 0, form);
  for (int32_t i = 0; i < kCategories; ++i)
    ControlSetText(Id(form, kCategoryControl + i), TextListText(g_textLists, kListEmailcategory, i));
  level = Tag(form, "LEVEL");
  category = Id(form, kCategoryControl);
}

void NewsViewerPanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const auto serial = static_cast<uint32_t>(id);
  if (serial == lastDrawn) return;
  lastDrawn = serial;
  ShowItem(g_world, ReadNewsItem(g_world, g_world.gameState.localPlayer, serial));
}

void NewsViewerPanel::ShowItem(World& world, const NewsItemView& item) {
  Control* f = currentForm;
  const MessageTypeRecord* type = item.found ? MessageType(item.typeId) : nullptr;
  SetControlText(Tag(f, "HEADLINE"), item.headline.c_str());
  SetControlText(Tag(f, "NEWSDATE"), item.found ? StatusDateText(item.day).c_str() : "");
  if (body) TextBoxSetText(body, item.text.c_str(), static_cast<uint32_t>(item.text.size() + 1), 1);
  const uint8_t mute = type ? std::atomic_ref<uint8_t>(MuteByte(*type)).load(std::memory_order_relaxed) : 0;
  Press(Tag(f, "HIDEH"), (mute & kHideHeadlinesBit) != 0);
  int32_t rows = 0;
  for (int i = 0; type && i < 4 && rows < kRegionRows; ++i) {
    if (type->paramKinds[i] != kArgRegion && type->paramKinds[i] != kArgRegionB) continue;
    FillRegionRow(Id(f, kRegionRowFilled + rows), "", static_cast<int32_t>(item.args[i]));
    SetHidden(Id(f, kRegionRowShown + rows), false);
    ++rows;
  }
  for (int32_t n = rows; n < kRegionRows; ++n) SetHidden(Id(f, kRegionRowShown + n), true);
  SetHidden(Tag(f, "SHOWPIC"), true);
  position = item.found ? NewsItemPosition(world, item) : 0;
  SetHidden(Tag(f, "CENTER"), position == 0);
  SetHidden(category, true);
  const uint8_t pictures = type ? type->bytes[kPictureCategoriesByte] : 0;
  for (int32_t b = 0; b < kCategories; ++b) {
    if (!(pictures & (1u << b))) continue;
    SetHidden(category, false);
    SetFrame(category, b);
    ControlSetText(category, TextListText(g_textLists, kListEmailcategory, b));
    break;
  }
  if (!item.found) {
    ControlSetText(level, nullptr);
    SetControlText(Tag(f, "LVLDESC"), "");
    return;
  }
  const int32_t l = (item.importance + 5) / 11;
  SetFrame(level, l < kHighestLevelFrame ? l : kHighestLevelFrame);
  char number[8];
  plat::FormatText(number, sizeof number, "%d", static_cast<int>(item.importance));
  ControlSetText(level, number);
  SetControlText(Tag(f, "LVLDESC"), TextListText(g_textLists, kListOrdimportance, l < kHighestLevelText ? l : kHighestLevelText));
}

void NewsViewerPanel::OnCommand(Control* control, int32_t) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const auto serial = static_cast<uint32_t>(id);
  if (Is(control, "SHOWPIC")) {
    picturePage.Show(id, nullptr);
  } else if (Is(control, "HIDEH")) {
    const NewsItemView item = ReadNewsItem(g_world, g_world.gameState.localPlayer, serial);
    if (const MessageTypeRecord* type = item.found ? MessageType(item.typeId) : nullptr) {
      std::atomic_ref<uint8_t> mute(MuteByte(*type));
      if (control->Selected()) mute.fetch_or(kHideHeadlinesBit, std::memory_order_relaxed);
      else mute.fetch_and(static_cast<uint8_t>(~kHideHeadlinesBit), std::memory_order_relaxed);
    }
  } else if (Is(control, "CENTER")) {
    if (position != 0) CentreOn(position);
  }
}

void NewsPicturePanel::OnOpen() { ClosePanelsAbove(g_ui, 3, 0); }
void NewsPicturePanel::BindControls() { picture = Tag(form, "PICTURE"); }

void ScenarioInfoPanel::OnOpen() { ClosePanelsAbove(g_ui, 2, 0); }
void ScenarioInfoPanel::BindControls() { DockInBotbar2(*this); }

void ScenarioInfoPanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  Fill(g_world);
}

void ScenarioInfoPanel::Fill(const World& world) {
  Control* f = currentForm;
  const GameState& state = world.gameState;
  const int32_t local = state.localPlayer;
  if (!f || local < 0 || local >= kMaxPlayers) return;
  const PlayerRecord& region = world.players[local];
  char text[64];
  SetControlText(Tag(f, "SCENARIO"), g_scenarioText.scenarioName.c_str());
  SetControlText(Tag(f, "REGION"), RegionDisplayName(world, local));
  ShowDate(Tag(f, "STDATE"), static_cast<int32_t>(state.startDay));
  SetControlText(Tag(f, "VICTORY"), TextListText(g_textLists, kListGamevictory, world.scenario.head.svictorycond));
  SetHidden(Tag(f, "ENDHIDE"), state.endDay == 0);
  if (state.endDay != 0) ShowDate(Tag(f, "ENDDATE"), static_cast<int32_t>(state.endDay));
  const CapitalPosition capital = CapitalHex(region.displayPolicy);
  const bool hasCapital = capital.x != 0 || capital.y != 0;
  if (hasCapital) {
    int32_t x = capital.x;
    const int32_t width = static_cast<int32_t>(world.mapHeader.width);
    if (width > 0) x = ((x % width) + width) % width;
    const std::string place = HexPositionText(world, unitbytes::PackPosition(static_cast<int16_t>(x), capital.y));
    SetControlText(Tag(f, "CAPHEX"), place.substr(0, kCapitalLabelLength).c_str());
  }
  SetHidden(Tag(f, "HIDEHEX"), !hasCapital);
  SetControlText(Tag(f, "GOVTYPE"), TextListText(g_textLists, kListGovtype, region.govtype));
  SetHidden(Tag(f, "HIDEELECT"), region.govtype != 1 || IsNetworkGame(g_commandNet));
  ShowDate(Tag(f, "ELECTDATE"), static_cast<int32_t>(region.electionDay));
  plat::FormatText(text, sizeof text, "%d", static_cast<int>(world.mapHeader.hexScale));
  SetControlText(Tag(f, "HEX"), text);
  plat::FormatText(text, sizeof text, "%d", kStackLimit);
  SetControlText(Tag(f, "STACK"), text);
}

void ScenarioInfoPanel::OnCommand(Control* control, int32_t) {
  if (!Is(control, "CAPCENTRE")) return;
  uint32_t packed = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const int32_t local = g_world.gameState.localPlayer;
    if (local < 0 || local >= kMaxPlayers) return;
    const CapitalPosition capital = CapitalHex(g_world.players[local].displayPolicy);
    packed = unitbytes::PackPosition(capital.x, capital.y);
  }
  CentreOn(packed);
}
