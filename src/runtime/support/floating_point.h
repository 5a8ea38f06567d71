#pragma once
// The floating-point exception masks of a compile-time floating-point mode, and setting them.
// Bits over the five exceptions: inexact 1, underflow 2, overflow 4, division by zero 8,
// invalid operation 16. The program's mode is 0: every exception masked, so arithmetic
// yields infinities and NaNs and never traps.

namespace runtime {

inline constexpr int kFloatingInexact = 1;
inline constexpr int kFloatingUnderflow = 2;
inline constexpr int kFloatingOverflow = 4;
inline constexpr int kFloatingDivideByZero = 8;
inline constexpr int kFloatingInvalid = 16;

// The program's compile-time floating-point mode.
inline constexpr int kProgramFloatingMode = 0;

// The masked exceptions of mode `mode`: (2 x (mode AND 15)) XOR 31.
constexpr int masked_floating_exceptions(int mode) { return (2 * (mode & 15)) ^ 31; }

// Clears pending exception flags and masks exactly the exceptions of `mode` on this thread
// (threads created afterwards inherit the setting). The denormal-operand mask is left alone.
void apply_floating_point_mode(int mode);

// The exceptions currently unmasked (trapping) on this thread, as the bits above.
int unmasked_floating_exceptions();

}  // namespace runtime
