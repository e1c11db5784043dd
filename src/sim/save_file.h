#pragma once
// Save games: one ".SAV" file holding a 1 KB header block (the SaveHeader,
// and at 512 the scenario head), the game part, the map part, the people
// part and, when the game has one, the 16-region snapshot. Each part's inner
// offsets are relative to the part's own start. The unit-class, technology
// and terrain files are not stored: a loaded save reads them again by the
// names in the map header.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

struct World;

inline constexpr size_t kSaveHeaderBlock = 1024;
inline constexpr size_t kSaveScenarioHeadAt = 512;
inline constexpr size_t kSnapshotSlot = 16384;
inline constexpr size_t kSnapshotRecords = 16;

// The names callers give their saves.
std::string AutoSaveName(std::string_view scenario);           // "AutoSave-%s", the turn loop's
std::string CampaignSaveName(std::string_view scenario);       // "Campaign-%s", the campaign screen's
std::string CampaignAutoSaveName(std::string_view scenario);   // "AutosaveC-%s"
inline constexpr const char* kTurnSaveName = "TurnSave";       // the network game's turn save

// folder (the registry's save-game folder when null) + name + ".SAV".
std::string SaveGamePath(std::string_view name, const char* folder = nullptr);

// The whole save image of the world's game; the world's SaveHeader takes the
// header as written.
std::vector<uint8_t> BuildSaveImage(World& world);
struct PendingCommandImage;
std::vector<uint8_t> BuildSaveImage(World& world, std::vector<PendingCommandImage> logged);

// Writes the save game into the save-game folder under the file-save lock,
// through a temporary file renamed over the target, so the previous save
// stays whole until the new one is complete. kFail with a log line when it
// cannot be written; `refusal`, when given, takes why (for a game the
// loader would refuse, the part and the figure out of its range).
plat::Status SaveGame(World& world, std::string_view name, std::string* refusal = nullptr);

// Loads a save game. Every part is read and checked before the world is
// touched: an unreadable or bad file gives kFail with a log line naming it
// and leaves the world as it was. Then, unless keepScenario is set, the
// scenario definition and text are read again and the saved scenario head
// is put back; the data files named in the map header are read; with
// reloadScenarioPlayers the scenario's region sections are applied again;
// the units are checked and the speed is set to tier 0.
// `refusal`, when given, takes the reason a refused file was refused for
// (the part and what is wrong with it).
plat::Status LoadSaveGame(World& world, std::string_view name, const char* folder, bool keepScenario,
                          bool reloadScenarioPlayers, std::string* refusal = nullptr);

// The same for a save image already read; `source` names it in log lines.
plat::Status LoadSaveImage(World& world, std::span<const uint8_t> file, const std::string& source, bool keepScenario,
                           bool reloadScenarioPlayers, std::string* refusal = nullptr);

// For the load dialog's listing: the header, the scenario head and only the
// regions of the game part.
plat::Status ReadSavGamePart(const char* folder, World& world, std::string_view name);

// How a save reaches the disk; tests replace it to fail the write.
using SaveFileWriter = plat::Status (*)(std::string_view path, const void* data, size_t size);
extern SaveFileWriter g_saveFileWriter;
