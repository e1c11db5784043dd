#pragma once
// How the build panels write their figures into controls: a percentage as
// "%3.0f %%", an amount through the number format (money with the currency
// sign).
#include <cstdint>

class Control;

void SetPercentText(Control* control, float percent);
void SetAmountText(Control* control, float value, int32_t currency, int32_t decimals);
