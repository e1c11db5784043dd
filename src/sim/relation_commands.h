#pragma once
// The commands that change relations between regions, loans, world-market
// membership and the government type, and the diplomatic offer. Each runs on
// the issuer's settings copy of the pass; effects outside that copy (other
// regions, money, messages) belong to the simulation pass. The executor
// counts each of these commands once in each pass, and when its simulation
// pass leaves none of the player's commands outstanding the simulation
// settings replace the displayed ones (surrender excepted); the handlers
// themselves never count.
#include <cstdint>
#include <vector>

#include "sim/command_pass.h"

struct World;
struct PlayerRecord;

CommandHandler RelationCommandHandler(uint32_t id);

// 80: the requested government type; in the simulation pass a non-zero type
// becomes the region's and the requests holding it are cleared.
void SetGovernmentTypeCommand(World& world, PlayerRecord& player, int copy, uint32_t type);
// 176: world-market membership (1 join, 0 leave): the membership bit of both
// copies, and the request bit of the display copy while the command waits.
void WorldMarketCommand(World& world, PlayerRecord& player, int copy, uint32_t join);

// 30: a loan from the world bank for a term of months: the display pass
// marks the request; the simulation pass lends what the region may still
// borrow at its rate for the term, as an item of its debts that pays interest
// daily and falls due at the end of the term. Nothing for a term of no
// months or of more than 255 years, or when the region may borrow nothing.
void TakeLoanCommand(World& world, PlayerRecord& player, int copy, uint32_t termMonths);
// 31: the region's own loan of that id repaid early in full, when the
// treasury holds the sum; the request's mark goes either way.
void RepayLoanCommand(World& world, PlayerRecord& player, int copy, uint32_t recurringId);
// The relations code's handlers.
void DeclareWarCommand(World& world, PlayerRecord& player, int copy, uint32_t target);        // 177
void SurrenderCommand(World& world, PlayerRecord& player, int copy, uint32_t winner, uint32_t merger);  // 181
void EndTreatyCommand(World& world, PlayerRecord& player, int copy, uint32_t type, uint32_t partner,
                      uint32_t flag);  // 182
void EndAllTreatiesCommand(World& world, PlayerRecord& player, int copy, uint32_t partner, uint32_t flag);  // 183
void TargetHexCommand(World& world, PlayerRecord& player, int copy, uint32_t packedHex);                   // 298
// 180: the command's player accepts the offer that player arg28 made, given
// as DIPOFFER text; carried out in the simulation pass with the command's
// sequence word.
void DiplomaticOfferCommand(World& world, PlayerRecord& player, int copy, uint32_t arg28,
                            const std::vector<uint8_t>& text, uint32_t sequence);
