#include "common/core/status_texts.h"

#include <gtest/gtest.h>

namespace koral {
namespace {

struct TextCase {
  const char* name;
  std::string actual;
  const char* expected;
};

void ExpectAll(std::initializer_list<TextCase> cases) {
  for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << c.name;
}

TEST(NameTables, ValidIndicesGiveTableEntriesAndOthersAreInvalid) {
  ExpectAll({
      {"mode 1", TouchModeName(1), "Stream Mode"},
      {"mode 4", TouchModeName(4), "Drag Drop Mode"},
      {"mode 0", TouchModeName(0), "Invalid#0"},
      {"mode 5", TouchModeName(5), "Invalid#5"},
      {"mode 255", TouchModeName(255), "Invalid#255"},
      {"mode -1", TouchModeName(-1), "Invalid#-1"},
      {"feedback 1", FeedbackName(1), "Silence ( No Sound )"},
      {"feedback 4 keeps the doubled ampersand", FeedbackName(4), "Both Touch Down && Lift Off"},
      {"feedback 0", FeedbackName(0), "Invalid#0"},
      {"acceleration 4", AccelerationName(4), "Off"},
      {"acceleration 7", AccelerationName(7), "Invalid#7"},
  });
}

TEST(TouchModeText, CombinesModeAndRightButtonState) {
  ExpectAll({
      {"stream, disabled", TouchModeText(1, 0, 0), "Stream Mode, RBF Disable"},
      {"drag drop automatic", TouchModeText(4, 1, 1), "Drag Drop Mode, RBF Enable ( Automatic Mode )"},
      {"drag drop manual", TouchModeText(4, 1, 0), "Drag Drop Mode, RBF Enable ( Manual Mode )"},
      {"auto other than 1 is manual", TouchModeText(4, 1, 7), "Drag Drop Mode, RBF Enable ( Manual Mode )"},
      {"drag drop disabled ignores auto", TouchModeText(4, 0, 1), "Drag Drop Mode, RBF Disable"},
      {"auto only matters in drag drop", TouchModeText(3, 1, 1), "Touch Down Mode, RBF Enable"},
      {"any non-zero rbf enables", TouchModeText(2, 9, 0), "Lift Off Mode, RBF Enable"},
      {"invalid 0", TouchModeText(0, 1, 0), "Invalid#0,1,0"},
      {"invalid 5", TouchModeText(5, 1, 1), "Invalid#5,1,1"},
  });
}

TEST(SettingTexts, SensitivityAndMouseSpeed) {
  ExpectAll({
      {"level 0", SensitivityText(127), "Level 0"},
      {"level 7", SensitivityText(120), "Level 7"},
      {"above 127", SensitivityText(130), "Level -3"},
      {"speeds", MouseSpeedText(10, 10, 1, 0), "HS=50%, VS=50%, Acceleration=Slow"},
      {"full speed", MouseSpeedText(20, 1, 3, 0), "HS=100%, VS=5%, Acceleration=Fast"},
      {"bypass hides everything", MouseSpeedText(0, 99, 0, 1), "Enable Bypass Mode"},
      {"any non-zero bypass", MouseSpeedText(10, 10, 1, 255), "Enable Bypass Mode"},
      {"invalid acceleration", MouseSpeedText(4, 6, 0, 0), "HS=20%, VS=30%, Acceleration=Invalid#0"},
  });
}

TEST(DurationTexts, MinutesAndSecondsWithLeadingBlanks) {
  ExpectAll({
      {"zero", DurationText(0), "Disable"},
      {"five minutes keeps trailing blank", DurationText(300), " 5 Min. "},
      {"seconds only", DurationText(30), " 30 Sec."},
      {"both, two blanks between", DurationText(90), " 1 Min.  30 Sec."},
      {"power down off", PowerDownText(0), "Disable Power Down Function"},
      {"power down 90 s", PowerDownText(9), "Power Down When Idle  1 Min.  30 Sec."},
      {"power down 60 s", PowerDownText(6), "Power Down When Idle  1 Min. "},
      {"power down 10 s", PowerDownText(1), "Power Down When Idle  10 Sec."},
      {"power down maximum", PowerDownText(30), "Power Down When Idle  5 Min. "},
      {"power down beyond range", PowerDownText(255), "Power Down When Idle  42 Min.  30 Sec."},
  });
}

TEST(SerialPortText, StatusCodesAndPorts) {
  ExpectAll({
      {"not found", SerialPortText(3, 0, 255), "COM3..Not Found."},
      {"used", SerialPortText(4, 0, 254), "COM4..Used by Other Device."},
      {"disabled with code", SerialPortText(5, 0, 7), "COM5..Unabled (code=7)"},
      {"disabled with code 0", SerialPortText(9, 0, 0), "COM9..Unabled (code=0)"},
      {"port", SerialPortText(1, 0x3F8, 4), "COM1, BasePort=03F8h, IRQ=4"},
      {"port zero-filled", SerialPortText(2, 0x2F8, 3), "COM2, BasePort=02F8h, IRQ=3"},
      {"negative 16-bit port keeps its low digits", SerialPortText(6, -32768, 10), "COM6, BasePort=8000h, IRQ=10"},
  });
}

TEST(HexAndDecimal, WidthsAndSigns) {
  ExpectAll({
      {"hex2 pads", Hex2(0x5), "05"},
      {"hex2 upper case", Hex2(0xAB), "AB"},
      {"hex2 keeps last two", Hex2(0x1234), "34"},
      {"hex4 pads", Hex4(0x2F8), "02F8"},
      {"hex4 keeps last four", Hex4(0x12345), "2345"},
      {"hex4 of -1", Hex4(-1), "FFFF"},
      {"plain", PlainDecimal(5), "5"},
      {"plain negative", PlainDecimal(-5), "-5"},
      {"signed positive", SignedDecimal(5), " 5"},
      {"signed zero", SignedDecimal(0), " 0"},
      {"signed negative", SignedDecimal(-5), "-5"},
      {"hex of zero", HexText(0), "0"},
      {"hex without leading zeros", HexText(0x1002), "1002"},
      {"hex of all bits", HexText(0xFFFFFFFFu), "FFFFFFFF"},
      {"hex upper case", HexText(0xABCDEF), "ABCDEF"},
      {"one half", HalvesText(1, "."), "0.5"},
      {"whole", HalvesText(2, "."), "1"},
      {"three halves", HalvesText(3, "."), "1.5"},
      {"ten halves", HalvesText(10, "."), "5"},
      {"the system's separator", HalvesText(3, ","), "1,5"},
      {"minus one half", HalvesText(-1, "."), "-0.5"},
      {"minus three halves", HalvesText(-3, ","), "-1,5"},
  });
}

}  // namespace
}  // namespace koral
