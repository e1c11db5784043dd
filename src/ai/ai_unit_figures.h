#pragma once
// The unit and class figures the computer players weigh a unit by, named
// once, with the unit model's field each stands for:
//   wear                  the unit's disruption
//   first and second stock  its ammunition and its fuel
//   K1, K2                fuel capacity per strength point (a quarter of a
//                         full tank lets it leave its own ground; half of
//                         it, less what its cargo overloads, it must carry)
//   K3                    carrying capacity per strength point
//   K4                    ammunition capacity per strength point
//   K5                    the class's operating range (class float at 160)
//   K6                    the missile class's carrying capacity (float at 108)
//   carried value         the unit's own stores
//   U1                    the unit's efficiency
//   U2                    its entrenchment
//   L1                    the hold setting of its orders word
//   L2                    the aggressiveness setting of its orders word
//   rating pairs          class bytes 120-121 (first land pair), 122-123
//                         (second land pair), 124-125 (air), 126-127 (sea)
//   group flag            class flag bit 0: long-range weapons, which answer
//                         only a strong enough call against fortified ground
//   build capacity        class byte 180: a base's production slots
//   float field 13        the class's reach (the float at 52)
//   class byte K          the class's own movement cost on its hex (byte 98)
//   terrain bytes T, H    the terrain's land movement column (byte 120) and
//                         its population level (byte 98)
//   the hex label's second float  the settlement population of the hex
//   a lead unit's signed value field  record bytes 28-29 read signed; with
//                         bit 1 of its second status word it marks a lead
//                         unit whose strength scales the facility's need
//   order state           orders word 11 (orderFlags); placement word:
//                         orders word 15 (postureBits); assignment field:
//                         the partner word (leaderUnit); link field: the
//                         carrier; second status word: unitFlags2; the
//                         per-player mask: seenBy; status bits 12 and 20:
//                         unitFlags kUnitProvisional and kUnitInBase
#include <cstdint>

#include "records/le_bytes.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "world/data_tables.h"

namespace aifig {

inline float Wear(const UnitRecord& u) { return u.disruption; }
inline float FirstStock(const UnitRecord& u) { return u.ammo; }
inline float SecondStock(const UnitRecord& u) { return u.fuel; }
inline float CarriedValue(const UnitRecord& u) { return u.supply; }
inline float U1(const UnitRecord& u) { return u.efficiency; }
inline uint8_t U2(const UnitRecord& u) { return u.entrenchment; }
inline uint32_t L1(const UnitRecord& u) { return OrderHoldSetting(u.orders[kOrdersWord]); }
inline uint32_t L2(const UnitRecord& u) { return OrderAggressiveness(u.orders[kOrdersWord]); }

inline uint32_t OrderState(const UnitRecord& u) { return u.orders[kOrderFlags]; }
inline uint32_t Placement(const UnitRecord& u) { return u.orders[kPostureBits]; }
inline uint32_t Assignment(const UnitRecord& u) { return u.orders[kLeaderUnit]; }
inline uint32_t OrderTarget(const UnitRecord& u) { return u.orders[kDestination]; }

inline const uint8_t* ClassBytes(const UnitClassRecord& c) { return reinterpret_cast<const uint8_t*>(&c); }
inline float K1(const UnitClassRecord& c) { return c.fuelCapacity; }
inline float K2(const UnitClassRecord& c) { return c.fuelCapacity; }
inline float K3(const UnitClassRecord& c) { return le::LoadF32(ClassBytes(c) + 108); }
inline float K4(const UnitClassRecord& c) { return c.ammoCapacity; }
inline float Weight(const UnitClassRecord& c) { return le::LoadF32(ClassBytes(c) + 104); }
inline float K5(const UnitClassRecord& c) { return le::LoadF32(ClassBytes(c) + 160); }
inline float K6(const UnitClassRecord& c) { return le::LoadF32(ClassBytes(c) + 108); }
inline uint8_t Rating(const UnitClassRecord& c, int byte) { return ClassBytes(c)[120 + byte]; }
inline int LandPair1(const UnitClassRecord& c) { return Rating(c, 0) + Rating(c, 1); }
inline int LandPair2(const UnitClassRecord& c) { return Rating(c, 2) + Rating(c, 3); }
inline int AirPair(const UnitClassRecord& c) { return Rating(c, 4) + Rating(c, 5); }
inline int SeaPair(const UnitClassRecord& c) { return Rating(c, 6) + Rating(c, 7); }
inline uint8_t FirstSeaByte(const UnitClassRecord& c) { return Rating(c, 6); }

inline bool Grouped(const UnitClassRecord& c) { return (c.flags & kClassLongRange) != 0; }

inline int16_t FullStrength(const UnitClassRecord& c) { return c.strengthPerSize; }
inline int16_t Speed(const UnitClassRecord& c) { return le::LoadI16(ClassBytes(c) + 66); }
inline uint8_t MovementType(const UnitClassRecord& c) { return ClassBytes(c)[71]; }
inline uint8_t BuildCapacity(const UnitClassRecord& c) { return ClassBytes(c)[180]; }
inline float Float13(const UnitClassRecord& c) { return c.reach; }
inline uint8_t ClassByteK(const UnitClassRecord& c) { return ClassBytes(c)[98]; }
inline uint8_t TerrainByteT(const TerrainRecord& t) { return t.bytes[120]; }
inline uint8_t TerrainByteH(const TerrainRecord& t) { return t.bytes[98]; }
inline int16_t LeadValueField(const UnitRecord& u) { return static_cast<int16_t>(u.word28); }
inline constexpr uint32_t kStatus2Bit0 = 1u << 0;
inline constexpr uint32_t kStatus2LeadMark = 1u << 1;
// The class's role: its type byte, which the build sequences and the
// answers to map events name.
inline uint8_t Role(const UnitClassRecord& c) { return c.typeByte; }

}  // namespace aifig
