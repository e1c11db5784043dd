#pragma once
// The tint the hex panels and pop-ups give a region's colour on their bars
// and frames: the colour, mostly opaque.
#include <cstdint>

inline constexpr uint32_t PanelTint(uint32_t colour) { return (colour & 0x00FFFFFFu) | 0xC8000000u; }
