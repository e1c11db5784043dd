#pragma once
// The readable text of a diplomatic offer, as an offer mail shows it: the
// items offered and requested, their financial values, the proposer's
// message and the validity date. Every writer here is bounded by the buffer
// it is given and always leaves it terminated.
#include <cstddef>
#include <string>

struct World;
struct DipOffer;
struct OfferItemGroup;

// Writes the offer's description into buffer (size bytes, terminator
// included) and returns the number of characters written.
int DescribeOffer(World& world, const DipOffer& offer, char* buffer, size_t size);
// One line per item of the group; returns the number of characters written.
int DescribeOfferItems(World& world, const OfferItemGroup& group, char* buffer, size_t size);
// The group's financial value as the local player reckons it.
float OfferGroupValue(World& world, const OfferItemGroup& group);
// The description of the offered items of a DIPOFFER text (empty for none).
std::string OfferItemsText(World& world, const char* dipOfferText);
