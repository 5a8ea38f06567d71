#pragma once
// The process-wide graphics status: the outcome of the most recent graphics or window
// operation. 0 success; 1 nothing drawn; 2 output clipped; 3 a parameter was altered; negative
// codes for failures (-1 no target window or failure, -3 unsupported pixel depth, -4 invalid
// parameter, -8 no memory for an image, -15 capture failed, -16 bitmap file not created, -17
// writing the bitmap file failed). The operations that save or capture a window's picture
// return these codes too. The value is shared by all threads; the last writer wins.

#include <cstdint>

namespace console {

inline constexpr std::int16_t kStatusOk = 0;
inline constexpr std::int16_t kStatusNothingDrawn = 1;
inline constexpr std::int16_t kStatusClipped = 2;
inline constexpr std::int16_t kStatusAltered = 3;
inline constexpr std::int16_t kStatusFailure = -1;
inline constexpr std::int16_t kStatusUnsupportedDepth = -3;
inline constexpr std::int16_t kStatusInvalidParameter = -4;
inline constexpr std::int16_t kStatusNoImageMemory = -8;
inline constexpr std::int16_t kStatusCaptureFailed = -15;
inline constexpr std::int16_t kStatusFileNotCreated = -16;
inline constexpr std::int16_t kStatusWriteFailed = -17;

std::int16_t graphics_status();
void set_graphics_status(std::int16_t value);

}  // namespace console
