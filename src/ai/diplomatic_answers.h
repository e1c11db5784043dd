#pragma once
// A computer region's answers to the offers in its mailbox: each offer is
// valued by what the region gets against what it gives, accepted above a
// bar and declined otherwise; every other item is cleared unanswered.
struct World;
struct PlayerRecord;
struct DipOffer;

// The offer's worth to `self`: (received - given) / (received + given),
// 0 when both are 0. The offer's first player is its addressee, the second
// its proposer; the offered group is what the proposer gives.
float ValueOfferA(const World& world, int self, const DipOffer& offer);

void AiAnswerDiplomaticOffers(World& world, PlayerRecord& region);
