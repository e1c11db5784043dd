#pragma once
// The trade our region restricts toward the picked one, docked at the third
// level: per product, its sales and exports and its purchases and imports,
// each a switch that posts its command, and four buttons for all products
// at once.
#include <memory>
#include <cstdint>

#include "ui/screen.h"

inline constexpr int32_t kRestrictedProducts = 11;
// Control ids: product k's picture, its sales/exports and its
// purchases/imports switches; the all-products buttons.
inline constexpr int32_t kProductPictureId = 1;
inline constexpr int32_t kSalesSwitchId = 101;
inline constexpr int32_t kPurchasesSwitchId = 201;
inline constexpr int32_t kRestrictAllSales = 20;
inline constexpr int32_t kFreeAllSales = 21;
inline constexpr int32_t kRestrictAllPurchases = 22;
inline constexpr int32_t kFreeAllPurchases = 23;
inline constexpr int32_t kTradeRestrictionIds[] = {1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  101,
                                                   102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 201, 202,
                                                   203, 204, 205, 206, 207, 208, 209, 210, 211, 20,  21,  22, 23};

std::unique_ptr<Screen> MakeTradeRestrictionPanel();
