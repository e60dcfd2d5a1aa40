#include "common/core/settings_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "common/core/ini_text.h"

namespace koral {
namespace {

// A PC whose every exported value differs from the substitute driver's defaults.
PcSettings SomePc() {
  PcSettings pc;
  std::memset(&pc.Block, 0xA5, sizeof pc.Block);
  ParamBlock& b = pc.Block;
  b.VirtualButton = 3;
  b.FeedbackSound = 4;
  b.FeedbackTone = 4321;
  b.FeedbackDuration = 37;
  b.MouseBypass = 1;
  b.MouseHSpeed = 17;
  b.MouseVSpeed = 2;
  b.MouseAcceleration = 3;
  b.RightButtonFunction = 1;
  b.RightButtonAutoMode = 1;
  b.RightButtonAutoSTime = 8;
  b.RightButtonAutoETime = 0;
  b.RightButtonAutoBeep = 0;
  b.PanelDirection = 6;
  pc.CalibrationMode = 0;
  pc.DoubleClick = {733, 5, 64};
  return pc;
}

// The value of each key the way the setup finisher reads it: the text after "Key=" on its line,
// cleaned as a profile read returns it, against the key's range.
int32_t FinisherReads(const std::string& text, const SetupIniKey& key) {
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(std::string(key.Name) + "=", 0) != 0) continue;
    std::string value = line.substr(std::strlen(key.Name) + 1);
    if (!value.empty() && value.back() == '\r') value.pop_back();
    return SettingValue(CleanIniValue(value), key.Minimum, key.Maximum);
  }
  return kSettingEmpty;
}

TEST(SettingsExport, ReadsBackByTheFinishersRulesAsExactlyTheValuesExported) {
  const PcSettings pc = SomePc();
  const ExportedSettings exported = ExportedValues(pc);
  ASSERT_TRUE(exported.Problems.empty()) << exported.Problems.front();
  const std::string text = SettingsFileText(exported.Values);

  for (size_t i = 0; i < kSetupIniKeyCount; ++i) {
    ASSERT_TRUE(exported.Values[i]) << kSetupIniKeys[i].Name << " is exported";
    EXPECT_EQ(FinisherReads(text, kSetupIniKeys[i]), *exported.Values[i]) << kSetupIniKeys[i].Name;
  }
  const SettingsFileCheck check = CheckSettingsFile("pc.ini", text);
  ASSERT_TRUE(check.Accepted()) << check.Problems.front();
  EXPECT_EQ(check.Values, exported.Values);
  EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1) << "CRLF lines";

  // Imported into another block, the exported fields are the source's and every other byte stays.
  ParamBlock other;
  std::memset(&other, 0x5A, sizeof other);
  PutIntoBlock(check.Values, other);
  PcSettings again = pc;
  again.Block = other;
  EXPECT_EQ(ExportedValues(again).Values, exported.Values);
  EXPECT_EQ(other.Sensitivity, 0x5A) << "the sensitivity is not carried";
  EXPECT_EQ(other.SleepTime, 0x5A) << "nor the power save time";
  EXPECT_EQ(other.CalXLeft, 0x5A5A) << "nor the calibration";
  EXPECT_EQ(other.DetectedPort, 0x5A);

  EXPECT_EQ(SeedStoresOf(check.Values), PlanSeedStores([&](const SetupIniKey& key) { return FinisherReads(text, key); }))
      << "the import seeds what the setup finisher would";
}

TEST(SettingsExport, NamesEveryValueNoKeyCanCarryAndLeavesItOut) {
  PcSettings pc = SomePc();
  pc.Block.VirtualButton = 0;
  pc.Block.FeedbackTone = -5;
  pc.DoubleClick.Speed = 1000;
  const ExportedSettings exported = ExportedValues(pc);
  EXPECT_EQ(exported.Problems, (std::vector<std::string>{
                                   "VirtualButton is 0 in the driver's block, outside 1..4",
                                   "FeedbackTone is -5 in the driver's block, outside 200..5000",
                                   "DoubleClickSpeed is 1000 in the model key, outside 100..900",
                               }));
  EXPECT_FALSE(exported.Values[SetupIniKeyIndex("VirtualButton")]);
  EXPECT_TRUE(exported.Values[SetupIniKeyIndex("FeedbackSound")]);
}

TEST(CalibrationModeInForce, IsTheStoredModeOnlyWhenTheListOffersIt) {
  EXPECT_EQ(CalibrationModeInForce(0), 0);
  EXPECT_EQ(CalibrationModeInForce(1), 1);
  for (auto stored : {std::optional<int32_t>{}, std::optional<int32_t>{2}, std::optional<int32_t>{-1}})
    EXPECT_EQ(CalibrationModeInForce(stored), 1);
}

std::string PackageSetupIni() {
  std::ifstream file(KORAL_PACKAGE_SETUP_INI, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

TEST(SettingsFileCheck, TakesThePackagesOwnFileAndWhatTheFinisherReadsAlike) {
  const SettingsFileCheck own = CheckSettingsFile("setup.ini", PackageSetupIni());
  ASSERT_TRUE(own.Accepted()) << own.Problems.front();
  for (size_t i = 0; i < kSetupIniKeyCount; ++i) EXPECT_TRUE(own.Values[i]) << kSetupIniKeys[i].Name;

  struct Case {
    const char* Text;
    const char* Key;
    int32_t Value;
  };
  for (const auto& c : {
           Case{"[Settings]\nVirtualButton=2\n", "VirtualButton", 2},
           Case{"; note\r\n[settings]\r\nvirtualbutton = 3 \r\n", "VirtualButton", 3},
           Case{"  [ Settings ]  \n\tFeedbackTone\t=\t\"4999\"\n", "FeedbackTone", 4999},
           Case{"[Settings]\nPanelDirection='7'\n", "PanelDirection", 7},
           Case{"[Settings]\nFeedbackDuration=+010\n", "FeedbackDuration", 10},
           Case{"[Settings]\nDoubleClickWidth=-0\n", "DoubleClickWidth", 0},
           Case{"[Settings]\n;VirtualButton=9\nDoubleClickSpeed=100", "DoubleClickSpeed", 100},
       }) {
    const SettingsFileCheck check = CheckSettingsFile("f.ini", c.Text);
    ASSERT_TRUE(check.Accepted()) << c.Text << check.Problems.front();
    SettingsValues expected;
    expected[SetupIniKeyIndex(c.Key)] = c.Value;
    EXPECT_EQ(check.Values, expected) << c.Text;
  }
}

TEST(SettingsFileCheck, NamesEveryProblemWithItsLineAndKeyAndTakesNothing) {
  const std::string tenThousandDigits(10'000, '9');
  const std::string zerosThenThree = std::string(300, '0') + "3";
  struct Case {
    std::string Text;
    std::vector<std::string> Problems;
  };
  const Case cases[] = {
      {"", {"f.ini: the file is empty"}},
      {std::string("\xFF\xFE[\0S\0", 6), {"f.ini: UTF-16 text; save it as ANSI text"}},
      {std::string("\xFE\xFF\0[", 4), {"f.ini: UTF-16 text; save it as ANSI text"}},
      {std::string("[\0S\0e\0", 6), {"f.ini: holds NUL bytes: not a text file (UTF-16 without a byte-order mark?)"}},
      {"\xEF\xBB\xBF[Settings]\r\nVirtualButton=2\r\n",
       {"f.ini: starts with a UTF-8 byte-order mark; save it as ANSI text, without the mark"}},
      {std::string(kSettingsFileLimit + 1, ';'), {"f.ini: larger than 65536 bytes: not a settings file"}},
      {"; nothing\r\n", {"f.ini: no [Settings] section"}},
      {"[Settings]\r\n; nothing\r\n", {"f.ini:1: [Settings]: holds no setting"}},
      {"VirtualButton=2\n[Settings]\nFeedbackSound=1",
       {"f.ini:1: VirtualButton: outside section [Settings]"}},
      {"[Settings]\nFeedbackSound=1\n[Other]\nVirtualButton=2\n",
       {"f.ini:3: [Other]: only section [Settings] is read", "f.ini:4: VirtualButton: outside section [Settings]"}},
      {"[Settings]\nFeedbackSound=1\n[SETTINGS]\nVirtualButton=2\n",
       {"f.ini:3: [Settings]: given twice (first at line 1)", "f.ini:4: VirtualButton: outside section [Settings]"}},
      {"[Settings\nFeedbackSound=1\n",
       {"f.ini:1: not a section, a comment (;) or key=value: \"[Settings\"",
        "f.ini:2: FeedbackSound: outside section [Settings]", "f.ini: no [Settings] section"}},
      {"[Settings]\nVirtualButon=2\nFeedbackSound=1\n", {"f.ini:2: VirtualButon: unknown key"}},
      {"[Settings]\nVirtual\x01\xE9=2\n", {"f.ini:2: Virtual\\x01\\xE9: unknown key"}},
      {"[Settings]\nVirtualButton=2\nFeedbackSound=1\nvirtualbutton=3\n",
       {"f.ini:4: VirtualButton: given twice (first at line 2)"}},
      {"[Settings]\nVirtualButton\n=2\nFeedbackSound=\n",
       {"f.ini:2: not a section, a comment (;) or key=value: \"VirtualButton\"", "f.ini:3: no key before \"=\"",
        "f.ini:4: FeedbackSound: no value"}},
      {"[Settings]\nVirtualButton=2.6\nFeedbackSound=abc\nMouseHSpeed=3 ; fast\nPanelDirection=0x1\n",
       {"f.ini:2: VirtualButton: \"2.6\" is not a whole number", "f.ini:3: FeedbackSound: \"abc\" is not a whole number",
        "f.ini:4: MouseHSpeed: \"3 ; fast\" is not a whole number",
        "f.ini:5: PanelDirection: \"0x1\" is not a whole number",
        "f.ini:4: MouseHSpeed: MouseSpeed takes its four keys together; missing: MouseVSpeed, MouseAcceleration, "
        "MouseBypass"}},
      {"[Settings]\nVirtualButton=0\nFeedbackSound=-1\nCalibrationMode=2\n",
       {"f.ini:2: VirtualButton: 0 is outside 1..4", "f.ini:3: FeedbackSound: -1 is outside 1..4",
        "f.ini:4: CalibrationMode: 2 is outside 0..1"}},
      {"[Settings]\nFeedbackTone=" + tenThousandDigits + "\n",
       {"f.ini:2: FeedbackTone: 999999999999999999999999... (10000 characters) is outside 200..5000"}},
      {"[Settings]\nFeedbackSound=" + zerosThenThree + "\n",
       {"f.ini:2: FeedbackSound: \"000000000000000000000000... (301 characters)\" is longer than the 254 characters "
        "the setup finisher reads"}},
      {"[Settings]\nRightButtonAutoETime=1\nRightButtonAutoMode=1\n",
       {"f.ini:2: RightButtonAutoETime: RightButtonAutomatic takes its four keys together; missing: "
        "RightButtonAutoSTime, RightButtonAutoBeep"}},
  };
  for (const Case& c : cases) {
    const SettingsFileCheck check = CheckSettingsFile("f.ini", c.Text);
    EXPECT_EQ(check.Problems, c.Problems) << c.Text.substr(0, 80);
    EXPECT_EQ(check.Values, SettingsValues{}) << "a refused file gives no values";
  }
}

TEST(SettingsFileCheck, APathWithBlanksAndColonsIsNamedAsGiven) {
  const SettingsFileCheck check = CheckSettingsFile("C:\\Fleet Settings\\pc 1.ini", "[Settings]\nVirtualButton=9\n");
  EXPECT_EQ(check.Problems, std::vector<std::string>{"C:\\Fleet Settings\\pc 1.ini:2: VirtualButton: 9 is outside 1..4"});
}

}  // namespace
}  // namespace koral
