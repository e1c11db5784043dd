#include "editor/editor_log.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

#include "app/app_object.h"
#include "app/log.h"
#include "platform/paths.h"
#include "records/hex_unit_stack.h"
#include "records/text_field.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "sim/region_names.h"
#include "sim/safe_file_name.h"
#include "world/hex_extra.h"
#include "world/text/text_lists.h"
#include "world/unit_class_flags.h"
#include "world/unit_label.h"
#include "world/world.h"

namespace {

constexpr int kColumnWidth = 32;
constexpr int kTechCategories = 7;
constexpr int kDesignClasses = 25;
constexpr int kUnitClasses = 26;
constexpr size_t kLogNameChars = 259;

// One letter per player that passes, a dash for the others; empty when
// nobody does (the row is then left out).
template <typename Passes>
std::string Column(int players, Passes passes) {
  std::string column(kColumnWidth, '-');
  bool any = false;
  for (int i = 1; i <= players && i <= kColumnWidth; ++i) {
    if (!passes(i)) continue;
    column[static_cast<size_t>(i - 1)] = EditLogPlayerLetter(i);
    any = true;
  }
  return any ? column : std::string();
}

const char* ListText(TextListId list, int index) {
  const char* text = TextListEntry(g_textLists, list, index);
  return text ? text : "";
}

std::string Location(World& world, const UnitRecord& unit) {
  if (world.mapWidth > 0 && unit.y >= 0 && unit.y < world.mapHeight && unit.x >= 0 && unit.x < world.mapWidth) {
    const HexCell& cell = world.cells[static_cast<size_t>(unit.y) * static_cast<size_t>(world.mapWidth) +
                                      static_cast<size_t>(unit.x)];
    const HexExtra* extra = cell.stack ? cell.stack->extra : nullptr;
    if (extra && extra->text && *extra->text) return std::string(extra->text).substr(0, 47);
  }
  char text[32];
  std::snprintf(text, sizeof text, "X:%03d Y:%03d", unit.x, unit.y);
  return text;
}

}  // namespace

char EditLogPlayerLetter(int player) {
  return static_cast<char>(player < 10 ? '0' + player : 'A' + (player - 10));
}

void WriteMapEditLog(World& world, bool gameRunning) {
  const std::string name = std::string(g_app.saveGamePath) + "MAPEDIT-" +
                           SafeFileNamePart(FieldText(world.gameState.scenarioName)) + ".log";
  // A fresh game folder has no save folder yet, and the log would be lost.
  const std::string_view folder = g_app.saveGamePath;
  if (const size_t slash = folder.rfind('\\'); slash != std::string_view::npos && slash > 0)
    plat::MakeGameDirectories(folder.substr(0, slash));
  SetLogTarget(g_platform, name.substr(0, kLogNameChars).c_str(), true, true);
  const int players = std::min(world.gameState.playerCount, kMaxPlayers - 1);
  for (int i = 1; i <= players; ++i)
    LogWrite(g_platform, "Player %c (%-15.15s): (Tech Level %3.1f)\n", EditLogPlayerLetter(i),
             RegionDisplayName(world, i), static_cast<double>(world.players[i].techLevel));
  LogWrite(g_platform, "\n");
  LogWrite(g_platform, "     TECHNOLOGIES\n");
  for (int c = 0; c < kTechCategories; ++c) {
    for (size_t t = 0; t < world.techs.size(); ++t) {
      const TechRecord& tech = world.techs[t];
      if (tech.category != c + 1) continue;
      const std::string column = Column(players, [&](int i) {
        const PlayerTechState* row = TechRow(world, i);
        return t == 0 || (row && row[t].known != 0);
      });
      if (column.empty()) continue;
      LogWrite(g_platform, "  Tech : %-15.15s : %-32.32s (%s)\n", ListText(kListTechcategory, c + 1),
               tech.name.c_str(), column.c_str());
    }
  }
  LogWrite(g_platform, "     UNIT DESIGNS\n");
  for (int c = 0; c < kDesignClasses; ++c) {
    for (size_t u = 0; u < world.unitClasses.size(); ++u) {
      const UnitClassRecord& type = world.unitClasses[u];
      if (!type.name[0] || (type.flags & kClassFacility) || type.typeByte != c) continue;
      const std::string column = Column(players, [&](int i) {
        const uint8_t* designs = DesignRow(world, i);
        const bool offered = !(type.flags & kClassObsolete) || !gameRunning;
        const bool level = type.buildThreshold == 0 || std::lround(world.players[i].techLevel) <= type.buildThreshold;
        return offered && designs && (designs[u] & 1) && level;
      });
      if (column.empty()) continue;
      LogWrite(g_platform, "  Equip Class : %-15.15s : %-24.24s  (%s)\n", ListText(kListMilclass, c),
               FieldText(type.name).c_str(), column.c_str());
    }
  }
  LogWrite(g_platform, "     ALL UNITS\n");
  for (int p = 1; p <= players; ++p) {
    for (int c = 0; c < kUnitClasses; ++c) {
      for (UnitRecord* unit = world.units; unit;) {
        const size_t type = static_cast<size_t>(unit->classIndex);
        const UnitClassRecord* record =
            unit->classIndex > 0 && type < world.unitClasses.size() ? &world.unitClasses[type] : nullptr;
        if (record && IsUnitLive(*unit) && !(unit->unitFlags & kUnitProvisional) && unit->owner == p &&
            record->typeByte == c && !(record->flags & kClassFacility))
          LogWrite(g_platform, "  %-15.15s: %-24.24s @ %s\n", RegionDisplayName(world, p), UnitLabelText(world, unit),
                   Location(world, *unit).c_str());
        unit = unit->next;
        if (unit == world.units) break;
      }
    }
  }
  CloseLogFile(g_platform);
}
