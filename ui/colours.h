// The suite's colours by name: every form takes its colours from here.
#pragma once

#include <windows.h>

#include <cstdint>

namespace koral::ui {

// A colour as the forms give it: a COLORREF (0x00BBGGRR), or a system colour with the high bit
// set (SystemColour(COLOR_BTNFACE)).
using Colour = uint32_t;
constexpr Colour SystemColour(int index) { return 0x80000000u | static_cast<uint32_t>(index); }

inline constexpr Colour kBlack = 0x000000;
inline constexpr Colour kWhite = 0xFFFFFF;
// RGB(250, 250, 250): the startup program's test area when it is off.
inline constexpr Colour kNearWhite = 0xFAFAFA;
inline constexpr Colour kPaleGrey = 0xE0E0E0;
inline constexpr Colour kLightGrey = 0xC0C0C0;
inline constexpr Colour kGrey = 0x808080;
inline constexpr Colour kDarkGrey = 0x404040;
inline constexpr Colour kRed = 0x0000FF;
inline constexpr Colour kYellow = 0x00FFFF;
// RGB(0, 255, 0), the calibration window's touch prompt; kGreen is the darker RGB(0, 128, 0).
inline constexpr Colour kBrightGreen = 0x00FF00;
inline constexpr Colour kGreen = 0x008000;
inline constexpr Colour kTeal = 0x808000;
inline constexpr Colour kBlue = 0xFF0000;
inline constexpr Colour kDarkBlue = 0x800000;
inline constexpr Colour kMagenta = 0xFF00FF;

inline constexpr Colour kButtonFace = SystemColour(COLOR_BTNFACE);
inline constexpr Colour kButtonText = SystemColour(COLOR_BTNTEXT);
inline constexpr Colour kWindowBackground = SystemColour(COLOR_WINDOW);
inline constexpr Colour kWindowText = SystemColour(COLOR_WINDOWTEXT);

}  // namespace koral::ui
