#include "world/unit_create.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/ordinal_suffix.h"
#include "platform/fpenv.h"
#include "world/hex_stack_chains.h"
#include "records/hex_unit_stack.h"
#include "world/day_tallies.h"
#include "world/unit_class.h"
#include "world/unit_label.h"
#include "records/unit_record.h"
#include "world/unit_ring.h"
#include "world/unit_tables.h"
#include "records/hex_cell.h"
#include "records/player_record.h"
#include "records/text_field.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

// A shown name is cut to this many characters.
constexpr size_t kUnitNameLength = 34;

// The per-type serial counters of a region (16-bit, by the class's type
// byte), as far as the record has room before its command counter.
constexpr size_t kSerialCountersAt = 12312;
constexpr int kSerialTypes = 26;
// The region's two default order words (the displayed defsetadvorders).
constexpr size_t kDefaultOrderWordsAt = 424;
// The unit tables' category of facilities.
constexpr int kFacilityCategory = 4;

uint8_t* Bytes(UnitImage& unit) { return reinterpret_cast<uint8_t*>(&unit); }

void ZeroBytes(UnitImage& unit, size_t from, size_t to) { std::memset(Bytes(unit) + from, 0, to - from); }

uint32_t LoadWord(const PlayerRecord& record, size_t offset) {
  uint32_t v;
  std::memcpy(&v, reinterpret_cast<const uint8_t*>(&record) + offset, 4);
  return v;
}

// The fields a unit takes from its class.
void TakeClassFields(UnitRecord& unit, const UnitClassImage& cls) {
  unit.unitType = cls.typeByte;
  unit.unitFlags &= ~(kUnitFacility | kUnitStock);
  if (cls.flags & kClassFacility) unit.unitFlags |= kUnitFacility;
  if (cls.flags & kClassStock) unit.unitFlags |= kUnitStock;
  unit.kind = cls.kind;
  unit.moveKind = cls.kind == 3 ? 2 : cls.kind;
}

const UnitClassImage& ClassOrEmpty(const World& world, int32_t classIndex) {
  static const UnitClassImage kNone{};
  const UnitClassRecord* cls = ClassRecordAt(world, classIndex);
  return cls ? *cls : kNone;
}

}  // namespace

UnitRecord* CreateUnit(World& world, PlayerRecord& owner, uint32_t id, int32_t classIndex, float size,
                       uint32_t position, int32_t placeholder, uint32_t flags) {
  plat::SetGameFloatMode();
  const UnitClassImage& cls = ClassOrEmpty(world, classIndex);
  auto* unit = new UnitRecord{};
  unit->classIndex = static_cast<int16_t>(classIndex);
  unit->id = id;
  TakeClassFields(*unit, cls);
  unit->owner = owner.number;
  unit->controller = owner.number;
  const bool stock = (cls.flags & kClassStock) != 0;
  if (placeholder == 0 && !stock) {
    if (cls.typeByte < kSerialTypes) {
      auto* counters = reinterpret_cast<uint8_t*>(&owner) + kSerialCountersAt;
      uint16_t serial;
      std::memcpy(&serial, counters + 2 * cls.typeByte, 2);
      ++serial;
      std::memcpy(counters + 2 * cls.typeByte, &serial, 2);
      unit->serial = serial;
    }
    unit->orders[kOrdersHeader] = LoadWord(owner, kDefaultOrderWordsAt);
    unit->orders[kOrdersWord] = LoadWord(owner, kDefaultOrderWordsAt + 4);
  }
  unit->targetStrength = size;
  const float n = size >= 1.0f ? size : std::sqrt(size);
  unit->buildWork = static_cast<float>(cls.strengthPerSize) * cls.buildWorkPerPoint * n + 1.0f;
  if (world.quickBuild) unit->buildWork = 1.0f;
  unit->orders[kPostureBits] |= kPostureInReserve | kPostureUnderConstruction;
  unit->orders[4] = position;
  unit->x = static_cast<int16_t>(position & 0xFFFFu);
  unit->y = static_cast<int16_t>(position >> 16);
  if (flags & kCreateStateBitA) unit->orders[kStateFlags] |= 0x4000000u;
  if (flags & kCreateStateBitB) unit->orders[kStateFlags] |= 0x8000000u;
  if (flags & kCreateHeaderBit) unit->orders[kOrdersHeader] |= 0x2000u;
  unit->ordersShown = unit->orders;
  unit->strength = static_cast<float>(cls.strengthPerSize) * size;
  if (stock) {
    unit->efficiency = unit->morale = 1.0f;
    unit->fuel = size * cls.fuelCapacity;
    unit->ammo = size * cls.ammoCapacity;
  } else {
    unit->efficiency = unit->morale = 0.8f;
  }
  unit->training = 0.0f;
  unit->unitFlags |= kUnitProvisional;
  if (placeholder == 0) std::memset(Bytes(*unit) + 64, 6, 4);
  {
    // Walks under the units lock see the unit and its count together.
    WorldLockGuard guard(world, kLockUnits);
    InsertUnitInRing(world, *unit);
    NoteUnitLiveChange(world, *unit, false);
  }
  return unit;
}

void SetUnitClass(World& world, UnitRecord& unit, bool simulationPass, int32_t classIndex) {
  {
    WorldLockGuard guard(world, kLockUnits);
    const bool wasLive = IsUnitLive(unit);
    const UnitClassImage& cls = ClassOrEmpty(world, classIndex);
    unit.classIndex = static_cast<int16_t>(classIndex);
    unit.route.reset();
    unit.route2.reset();
    unit.customName.reset();
    ZeroBytes(unit, 16, 18);
    unit.serial = 0;
    unit.x2 = unit.y2 = 0;
    unit.unitFlags = 0;
    ZeroBytes(unit, 64, 80);
    unit.fuel = unit.ammo = unit.supply = 0.0f;
    unit.experience = 0.0f;
    ZeroBytes(unit, 122, 124);
    ZeroBytes(unit, 124, 136);  // speed factor and the words after it
    ZeroBytes(unit, 140, 152);  // movement rate and velocity
    unit.pendingOrders = 0;
    unit.fireTargetPos = 0;
    unit.fireTarget = unit.cargoNext = unit.carrier = 0;
    unit.unitFlags2 = 0;
    unit.disruption = unit.training = 0.0f;
    ZeroBytes(unit, 356, 358);
    uint8_t* b = Bytes(unit);
    b[32] = b[33] = b[34] = b[35];
    b[344] = b[345] = b[346] = b[347];
    unit.classDay = world.gameState.currentDay;
    unit.efficiency = unit.morale = 0.8f;
    TakeClassFields(unit, cls);
    OrderBlock& orders = simulationPass ? unit.orders : unit.ordersShown;
    orders = OrderBlock{};
    orders[kPostureBits] = kPostureInReserve | kPostureUnderConstruction;
    unit.strength = 0.0f;
    unit.targetStrength = 1.0f;
    unit.buildWork = cls.buildWorkPerPoint;
    if ((world.mapHeader.word600 & 1u) && (cls.flags & kClassSpecialWeaponA)) unit.unitFlags |= kUnitMapOption;
    NoteUnitLiveChange(world, unit, wasLive);
  }
  if (!simulationPass) return;
  if (classIndex != 0) AppendUnitPtr(world, 1, unit.owner, kFacilityCategory, unit);
  if (unit.pendingOrders == 0) unit.ordersShown = unit.orders;
}

UnitRecord* EnsureHexFacility(World& world, HexCell& cell, uint32_t id, bool reset) {
  HexUnitStack* stack = GetStackDataLocked(world, cell);
  if (UnitRecord* lead = stack->lead) {
    if (reset && lead->id != id) {
      WorldLockGuard guard(world, kLockHexExtras);
      SetUnitClass(world, *lead, true, 0);
      ChangeUnitId(world, *lead, id);
    }
    return lead;
  }
  const int32_t width = world.mapHeader.width > 0 ? world.mapHeader.width : 1;
  const auto index = static_cast<int64_t>(&cell - world.cells.data());
  const uint32_t position = static_cast<uint32_t>(index % width) | (static_cast<uint32_t>(index / width) << 16);
  PlayerRecord& owner = world.players[CellOwner(cell.word)];
  WorldLockGuard guard(world, kLockHexExtras);
  UnitRecord* unit = CreateUnit(world, owner, id, 0, 0.0f, position, 1, 0);
  SetUnitClass(world, *unit, true, 0);
  stack->lead = unit;
  return unit;
}

void SetUnitCustomName(World& world, UnitRecord& unit, const char* text) {
  WorldLockGuard guard(world, kLockUnits);
  unit.customName.reset();
  if (!text) return;
  const size_t length = std::strlen(text);
  unit.customName = std::make_unique<char[]>(length + 1);
  std::memcpy(unit.customName.get(), text, length + 1);
}

std::string UnitDisplayName(const World& world, const UnitRecord& unit, bool alternateForm,
                            const UnitNameOptions& options) {
  {
    // A rename on another thread frees the old text under this lock.
    WorldLockGuard guard(const_cast<World&>(world), kLockUnits);
    if (unit.customName) return std::string(unit.customName.get()).substr(0, kUnitNameLength);
  }
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  const std::string className = cls ? FieldText(cls->name) : std::string();
  if (cls && (cls->flags & kClassStock)) return className;
  const int32_t localIndex = world.gameState.localPlayer;
  const PlayerRecord& local = world.players[localIndex >= 0 && localIndex < kMaxPlayers ? localIndex : 0];
  const uint32_t ownerBit = 1u << (unit.owner & 31);
  const bool ownSide = unit.owner == local.number;
  const bool related = (local.displayPolicy.friendlyMask & ownerBit) && !(local.displayPolicy.hostileMask & ownerBit);
  if (!ownSide && !related) return className;
  const bool buildingUp = IsUnitLive(unit) && (unit.ordersShown[kPostureBits] & kPostureUnderConstruction);
  if ((options.numberedNames && !options.alternateNames) || buildingUp) return className;
  if (options.alternateNames && alternateForm) return UnitLabelText(world, &unit);
  const std::string suffix = OrdinalSuffix(unit.serial, OrdinalSuffixTexts(g_textLists));
  const uint8_t kind = cls ? cls->typeByte : 0;
  char text[kUnitNameLength + 1];
  std::snprintf(text, sizeof text, "%d%s %s", unit.serial, suffix.c_str(), TextListText(kListMilclassshort, kind));
  return text;
}
