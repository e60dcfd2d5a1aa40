#include "common/core/setup_settings.h"

#include <gtest/gtest.h>

#include <map>

#include "common/core/ini_text.h"

namespace koral {
namespace {

TEST(RoundedLeadingNumber, ReadsTheLeadingNumberAndRoundsHalvesToEven) {
  struct Case {
    const char* Text;
    int64_t Expected;
  };
  for (const auto& c : {
           Case{"3", 3}, Case{"2.6", 3}, Case{"2.4", 2}, Case{"2.5", 2}, Case{"3.5", 4}, Case{"0.5", 0},
           Case{"1.5", 2}, Case{"2.50001", 3}, Case{"2.4999999999999999999", 2},
           Case{"12abc", 12}, Case{"abc", 0}, Case{"", 0}, Case{"  7", 7}, Case{"\t7", 7}, Case{"0x10", 0},
           Case{"-3", -3}, Case{"-2.5", -2}, Case{"-0.4", 0}, Case{"+4", 4}, Case{".5", 0}, Case{".51", 1},
           Case{"007", 7}, Case{"0.05", 0}, Case{"1e1", 10}, Case{"25E-1", 2}, Case{"35e-1", 4}, Case{"1e", 1},
           Case{"1e+2x", 100}, Case{"1.2.3", 1}, Case{".", 0}, Case{"-", 0}, Case{"1 000", 1},
           // Far outside every range, without overflow.
           Case{"99999999999999999999999", 1'000'000'000'000}, Case{"-1e99999999999", -1'000'000'000'000},
           Case{"1e-99999999999", 0}, Case{"4294967297", 4294967297},
       }) {
    EXPECT_EQ(RoundedLeadingNumber(c.Text), c.Expected) << '"' << c.Text << '"';
  }
}

TEST(SettingValue, SortsTextsIntoEmptyOutOfRangeOrValue) {
  struct Case {
    const char* Text;
    int32_t Minimum, Maximum, Expected;
  };
  for (const auto& c : {
           Case{"", 1, 4, kSettingEmpty}, Case{"0", 1, 4, kSettingBelowRange}, Case{"5", 1, 4, kSettingAboveRange},
           Case{"2.6", 1, 4, 3}, Case{"4.4", 1, 4, 4}, Case{"4.5", 1, 4, 4}, Case{"4.51", 1, 4, kSettingAboveRange},
           Case{"0.5", 1, 4, kSettingBelowRange}, Case{"x", 0, 7, 0}, Case{"x", 100, 900, kSettingBelowRange},
           Case{"4294967297", 200, 5000, kSettingAboveRange}, Case{"-1", 0, 1, kSettingBelowRange},
       }) {
    EXPECT_EQ(SettingValue(c.Text, c.Minimum, c.Maximum), c.Expected) << '"' << c.Text << '"';
  }
}

TEST(SeedBytes, LayOutOneTwoAndFourBytes) {
  struct Case {
    uint32_t Value;
    int Count;
    std::vector<uint8_t> Expected;
  };
  for (const auto& c : {
           Case{3, 1, {0x03}}, Case{0x1234, 1, {0x34}}, Case{1000, 2, {0xE8, 0x03}}, Case{5000, 2, {0x88, 0x13}},
           Case{0x0A0C0200, 4, {0x0A, 0x0C, 0x02, 0x00}}, Case{0x01090901, 4, {0x01, 0x09, 0x09, 0x01}},
           Case{7, 0, {}}, Case{7, 3, {}},
       }) {
    EXPECT_EQ(SeedBytes(c.Value, c.Count), c.Expected) << c.Value << " in " << c.Count;
  }
}

// An import over a "setup.ini" given as key -> text; absent keys read as empty.
std::vector<SeedStore> Import(const std::map<std::string, std::string>& ini) {
  return PlanSeedStores([&](const SetupIniKey& key) {
    const auto found = ini.find(key.Name);
    return SettingValue(found == ini.end() ? std::string() : found->second, key.Minimum, key.Maximum);
  });
}

const std::map<std::string, std::string> kEveryKeyValid = {
    {"CalibrationMode", "0"},     {"VirtualButton", "2.6"},     {"RightButtonFunction", "1"},
    {"RightButtonAutoMode", "1"}, {"RightButtonAutoSTime", "3"}, {"RightButtonAutoETime", "9"},
    {"RightButtonAutoBeep", "0"}, {"FeedbackSound", "4"},       {"FeedbackTone", "1000"},
    {"FeedbackDuration", "10"},   {"MouseBypass", "0"},         {"MouseHSpeed", "10"},
    {"MouseVSpeed", "12"},        {"MouseAcceleration", "2"},   {"DoubleClickSpeed", "900"},
    {"DoubleClickWidth", "0"},    {"DoubleClickHeight", "64"},  {"PanelDirection", "7"},
};

TEST(PlanSeedStores, StoresEveryValidSettingInOrderWithItsType) {
  const std::vector<SeedStore> expected = {
      {"CalibrationMode", 0, 0},          {"VirtualButton", 3, 1},       {"RightButtonFunction", 1, 1},
      {"RightButtonAutomatic", 0x01030900, 4}, {"FeedbackSound", 4, 1},  {"FeedbackTone", 1000, 2},
      {"FeedbackDuration", 10, 2},        {"MouseSpeed", 0x0A0C0200, 4}, {"DoubleClickSpeed", 900, 0},
      {"DoubleClickWidth", 0, 0},         {"DoubleClickHeight", 64, 0},  {"PanelDirection", 7, 1},
  };
  EXPECT_EQ(Import(kEveryKeyValid), expected);
}

TEST(PlanSeedStores, ReadsEveryKeyOnceInTableOrder) {
  std::vector<std::string> asked;
  PlanSeedStores([&](const SetupIniKey& key) {
    asked.emplace_back(key.Name);
    return kSettingEmpty;
  });
  ASSERT_EQ(asked.size(), std::size(kSetupIniKeys));
  for (size_t i = 0; i < asked.size(); ++i) EXPECT_EQ(asked[i], kSetupIniKeys[i].Name);
}

TEST(PlanSeedStores, LeavesOutWhatIsMissingEmptyOrOutOfRange) {
  struct Case {
    const char* Name;
    std::map<std::string, std::string> Changes;  // over kEveryKeyValid; "<erase>" removes the key
    std::vector<std::string> Missing;            // values no longer stored
  };
  const Case cases[] = {
      {"virtual button 0", {{"VirtualButton", "0"}}, {"VirtualButton"}},
      {"one of the four automatic keys missing", {{"RightButtonAutoSTime", "<erase>"}}, {"RightButtonAutomatic"}},
      {"one of the four automatic keys empty", {{"RightButtonAutoBeep", ""}}, {"RightButtonAutomatic"}},
      {"one of the four speed keys out of range", {{"MouseHSpeed", "21"}}, {"MouseSpeed"}},
      {"bypass above its range", {{"MouseBypass", "2"}}, {"MouseSpeed"}},
      {"tone below and duration above", {{"FeedbackTone", "199.4"}, {"FeedbackDuration", "50.6"}},
       {"FeedbackTone", "FeedbackDuration"}},
      {"double-click texts", {{"DoubleClickSpeed", "fast"}, {"DoubleClickWidth", "-1"}},
       {"DoubleClickSpeed", "DoubleClickWidth"}},
  };
  for (const Case& c : cases) {
    auto ini = kEveryKeyValid;
    for (const auto& [key, text] : c.Changes) {
      if (text == "<erase>") ini.erase(key);
      else ini[key] = text;
    }
    std::vector<std::string> stored;
    for (const SeedStore& store : Import(ini)) stored.push_back(store.ValueName);
    for (const auto& missing : c.Missing)
      EXPECT_EQ(std::count(stored.begin(), stored.end(), missing), 0) << c.Name << ": " << missing;
    EXPECT_EQ(stored.size(), 12 - c.Missing.size()) << c.Name;
  }
}

TEST(PlanSeedStores, AnEmptyFileStoresNothingAndTextsWithoutANumberStoreZeroWhereZeroIsValid) {
  EXPECT_TRUE(Import({}).empty());
  const auto stores = Import({{"PanelDirection", "none"}, {"VirtualButton", "none"}});
  EXPECT_EQ(stores, (std::vector<SeedStore>{{"PanelDirection", 0, 1}}));
}

// An installation over an existing one leaves out of "setup.ini" the keys whose values the model
// key already holds; that works only when a key's absence costs exactly the value named for it.
TEST(SeededValueOf, NamesTheOneValueAKeysAbsenceLeavesOut) {
  std::vector<std::string> all;
  for (const SeedStore& store : Import(kEveryKeyValid)) all.push_back(store.ValueName);
  for (const SetupIniKey& key : kSetupIniKeys) {
    auto ini = kEveryKeyValid;
    ini.erase(key.Name);
    std::vector<std::string> expected;
    for (const auto& name : all)
      if (name != SeededValueOf(key.Name)) expected.push_back(name);
    std::vector<std::string> stored;
    for (const SeedStore& store : Import(ini)) stored.push_back(store.ValueName);
    EXPECT_EQ(stored, expected) << key.Name;
  }
  for (const char* other : {"", "MouseSpeed", "RightButtonAutomatic", "calibrationmode", "TITLE"})
    EXPECT_EQ(SeededValueOf(other), "") << other;
}

TEST(IniText, ReadValuesEndAtTheirFirstNulWithoutTrailingBlanks) {
  struct Case {
    std::string Returned, Expected;
  };
  for (const auto& c : {Case{"Acme  ", "Acme"}, Case{std::string("Ac\0me", 5), "Ac"}, Case{"  Acme", "  Acme"},
                        Case{"   ", ""}, Case{"", ""}, Case{"A\tB\t", "A\tB\t"}}) {
    EXPECT_EQ(CleanIniValue(c.Returned), c.Expected) << '"' << c.Returned << '"';
  }
}

TEST(IniText, TextsWithLineBreaksOrNulsAreUnsafe) {
  struct Case {
    std::string Text;
    bool Safe;
  };
  for (const auto& c : {Case{"C:\\Program Files\\Touch", true}, Case{"\"quoted\" = x ; [y]", true}, Case{"", true},
                        Case{"C:\\A\r\nInstallPath=C:\\B", false}, Case{"a\nb", false}, Case{"a\rb", false},
                        Case{std::string("a\0b", 3), false}}) {
    EXPECT_EQ(IniTextIsSafe(c.Text), c.Safe) << '"' << c.Text << '"';
  }
}

// What the INF and profile readers would not give back whole is refused (nothing); everything
// else is written so that they do.
TEST(IniText, InfStringsAreQuotedAndProfilePathsWrittenAsTheyAre) {
  struct Case {
    std::string Value;
    std::optional<std::string> Inf, Profile;
  };
  const std::string longest(kLongestPath, 'a');
  for (const auto& c : {
           Case{"C:\\Program Files\\Touch", "\"C:\\Program Files\\Touch\"", "C:\\Program Files\\Touch"},
           Case{"", "\"\"", ""},
           Case{"a;b,c=d[e]", "\"a;b,c=d[e]\"", "a;b,c=d[e]"},
           Case{"say \"hi\"", "\"say \"\"hi\"\"\"", "say \"hi\""},
           Case{"\"quoted\"", "\"\"\"quoted\"\"\"", std::nullopt},
           Case{"'quoted'", "\"'quoted'\"", std::nullopt},
           Case{" C:\\lead", "\" C:\\lead\"", std::nullopt},
           Case{"C:\\trail\\ ", "\"C:\\trail\\ \"", std::nullopt},
           Case{"C:\\folder\\", "\"C:\\folder\\\"", "C:\\folder\\"},
           Case{"C:\\100%", std::nullopt, "C:\\100%"},
           Case{"C:\\a\r\nNUL=C:\\b", std::nullopt, std::nullopt},
           Case{"C:\\a\tb", std::nullopt, std::nullopt},
           Case{std::string("C:\\a\0b", 5), std::nullopt, std::nullopt},
           Case{"C:\\a\x1A", std::nullopt, std::nullopt},
           Case{"\xA0" "C:\\a", "\"\xA0" "C:\\a\"", std::nullopt},
           Case{longest, '"' + longest + '"', longest},
           Case{longest + "a", std::nullopt, std::nullopt},
           Case{std::string(10'000, 'a'), std::nullopt, std::nullopt},
       }) {
    EXPECT_EQ(InfStringText(c.Value), c.Inf) << c.Value;
    EXPECT_EQ(ProfilePathText(c.Value), c.Profile) << c.Value;
  }
}

}  // namespace
}  // namespace koral
