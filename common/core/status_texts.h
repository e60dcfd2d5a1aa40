// One-line summaries of the controller's settings, exactly as the suite shows them, and the
// number formats they are built from. Texts that go into labels keep "&&" for one "&".
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace koral {

// Indexed 1..4 by the field's value; index 0 is never shown (0 is invalid).
using NameTable = std::array<const char*, 5>;
inline constexpr NameTable TouchModeNames = {"", "Stream Mode", "Lift Off Mode", "Touch Down Mode",
                                             "Drag Drop Mode"};
inline constexpr NameTable FeedbackNames = {"", "Silence ( No Sound )", "Touch Down Only",
                                            "Lift Off Only", "Both Touch Down && Lift Off"};
inline constexpr NameTable AccelerationNames = {"", "Slow", "Medium", "Fast", "Off"};

// Plain decimal: 5 -> "5", -5 -> "-5".
std::string PlainDecimal(long value);
// Signed decimal with a leading blank for zero and above: 5 -> " 5", -5 -> "-5".
std::string SignedDecimal(long value);
// Upper-case hexadecimal, zero-filled, only the last two / four digits kept.
std::string Hex2(long value);
std::string Hex4(long value);
// Upper-case hexadecimal of a 32-bit value without leading zeros: 0x1002 -> "1002", 0 -> "0".
std::string HexText(uint32_t value);
// A count of halves as a decimal number with the given separator: 1 -> "0.5", 2 -> "1", 3 -> "1.5".
std::string HalvesText(int halves, const std::string& decimalSeparator);

std::string TouchModeName(int value);
std::string FeedbackName(int value);
std::string AccelerationName(int value);

std::string TouchModeText(int mode, int rightButtonFunction, int autoMode);
std::string SensitivityText(int sensitivity);
std::string MouseSpeedText(int hSpeed, int vSpeed, int acceleration, int bypass);
std::string DurationText(long seconds);
std::string PowerDownText(int sleepTime);
std::string SerialPortText(int comNumber, int basePort, int irq);

}  // namespace koral
