#pragma once

// The day is a fixed column of 53 slots in every grid: slots 0..23 are the
// morning, 24..52 the afternoon.
inline constexpr int SlotCount = 53;
inline constexpr int MorningSlotCount = 24;
