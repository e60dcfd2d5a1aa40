#include "common/core/status_texts.h"

#include "common/core/driver_protocol.h"

namespace koral {
namespace {

std::string TableName(const NameTable& table, int value) {
  if (value < 1 || value > 4) return "Invalid#" + PlainDecimal(value);
  return table[static_cast<size_t>(value)];
}

std::string HexDigits(long value, int digits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  // Two's complement view, so negative values keep their low digits as Windows shows them.
  auto bits = static_cast<unsigned long long>(value);
  std::string text(static_cast<size_t>(digits), '0');
  for (int i = digits - 1; i >= 0; --i, bits >>= 4) text[static_cast<size_t>(i)] = kDigits[bits & 0xF];
  return text;
}

}  // namespace

std::string PlainDecimal(long value) { return std::to_string(value); }

std::string SignedDecimal(long value) { return value >= 0 ? " " + std::to_string(value) : std::to_string(value); }

std::string Hex2(long value) { return HexDigits(value, 2); }
std::string Hex4(long value) { return HexDigits(value, 4); }

std::string HexText(uint32_t value) {
  std::string text = HexDigits(static_cast<long>(value), 8);
  const size_t first = text.find_first_not_of('0');
  return first == std::string::npos ? "0" : text.substr(first);
}

std::string HalvesText(int halves, const std::string& decimalSeparator) {
  const int whole = halves / 2;  // towards zero, so -1 gives "-0.5"
  if (halves % 2 == 0) return std::to_string(whole);
  return (halves < 0 ? "-" : "") + std::to_string(whole < 0 ? -whole : whole) + decimalSeparator + "5";
}

std::string TouchModeName(int value) { return TableName(TouchModeNames, value); }
std::string FeedbackName(int value) { return TableName(FeedbackNames, value); }
std::string AccelerationName(int value) { return TableName(AccelerationNames, value); }

std::string TouchModeText(int mode, int rightButtonFunction, int autoMode) {
  if (mode < 1 || mode > 4)
    return "Invalid#" + PlainDecimal(mode) + "," + PlainDecimal(rightButtonFunction) + "," +
           PlainDecimal(autoMode);
  std::string text = TouchModeName(mode) + ", RBF " + (rightButtonFunction == 0 ? "Disable" : "Enable");
  if (rightButtonFunction != kRightButtonOff && mode == kDragDropMode)
    text += autoMode == 1 ? " ( Automatic Mode )" : " ( Manual Mode )";
  return text;
}

std::string SensitivityText(int sensitivity) { return "Level " + PlainDecimal(127 - sensitivity); }

std::string MouseSpeedText(int hSpeed, int vSpeed, int acceleration, int bypass) {
  if (bypass != 0) return "Enable Bypass Mode";
  return "HS=" + PlainDecimal(5L * hSpeed) + "%, VS=" + PlainDecimal(5L * vSpeed) +
         "%, Acceleration=" + AccelerationName(acceleration);
}

std::string DurationText(long seconds) {
  if (seconds == 0) return "Disable";
  const long minutes = seconds / 60;
  const long rest = seconds % 60;
  std::string text;
  if (minutes != 0) text += SignedDecimal(minutes) + " Min. ";
  if (rest != 0) text += SignedDecimal(rest) + " Sec.";
  return text;
}

std::string PowerDownText(int sleepTime) {
  if (sleepTime == 0) return "Disable Power Down Function";
  return "Power Down When Idle " + DurationText(10L * sleepTime);
}

std::string SerialPortText(int comNumber, int basePort, int irq) {
  const std::string com = "COM" + PlainDecimal(comNumber);
  if (basePort == 0) {
    if (irq == 255) return com + "..Not Found.";
    if (irq == 254) return com + "..Used by Other Device.";
    return com + "..Unabled (code=" + PlainDecimal(irq) + ")";
  }
  return com + ", BasePort=" + Hex4(basePort) + "h, IRQ=" + PlainDecimal(irq);
}

}  // namespace koral
