#include "common/core/double_click.h"

#include <gtest/gtest.h>

#include <string_view>

#include "common/core/setup_settings.h"

#include <set>
#include <string>
#include <vector>

namespace koral {
namespace {

TEST(WithinDoubleClickRanges, TheRangesOfTheSetupIniSeedsAndNothingBeyond) {
  for (const SetupIniKey& key : kSetupIniKeys) {
    const std::string_view name = key.Name;
    if (name == kDoubleClickSpeedName) EXPECT_EQ(std::pair(key.Minimum, key.Maximum), std::pair(kSpeedMin, kSpeedMax));
    if (name == kDoubleClickWidthName || name == kDoubleClickHeightName)
      EXPECT_EQ(std::pair(key.Minimum, key.Maximum), std::pair(kSizeMin, kSizeMax)) << name;
  }
  struct Case {
    DoubleClickSettings Settings;
    bool Within;
  };
  for (const Case& c : {Case{{500, 32, 32}, true}, Case{{100, 0, 64}, true}, Case{{900, 64, 0}, true},
                        Case{{99, 32, 32}, false}, Case{{901, 32, 32}, false}, Case{{500, -1, 32}, false},
                        Case{{500, 65, 32}, false}, Case{{500, 32, -1}, false}, Case{{500, 32, 65}, false},
                        Case{{-2147483647 - 1, 32, 32}, false}, Case{{500, 32, 2147483647}, false}})
    EXPECT_EQ(WithinDoubleClickRanges(c.Settings), c.Within)
        << c.Settings.Speed << " " << c.Settings.Width << " " << c.Settings.Height;
}

TEST(IsDialogCommandLine, OnlyTheOptionAloneInAnyCaseSelectsTheDialog) {
  struct Case {
    const char* arguments;
    bool dialog;
  };
  const Case cases[] = {
      {"/SDC", true},   {"/sdc", true},       {"/sDc", true},       {" /SDC ", true}, {"\t/sdc", true},
      {"", false},      {"/SDC x", false},    {"/SDCX", false},     {"SDC", false},   {"-SDC", false},
      {"/SD C", false}, {"/SDC /SDC", false}, {"x /SDC", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsDialogCommandLine(c.arguments), c.dialog) << "[" << c.arguments << "]";
}

// Records every step; the steps named in `failing` fail.
class RecordingSystem final : public DoubleClickSystem {
 public:
  explicit RecordingSystem(std::set<std::string> failing = {}) : failing_(std::move(failing)) {}

  bool SetWidth(int32_t pixels) override { return Step("width " + std::to_string(pixels)); }
  bool SetHeight(int32_t pixels) override { return Step("height " + std::to_string(pixels)); }
  bool SetTime(int32_t milliseconds) override { return Step("time " + std::to_string(milliseconds)); }
  void SetDoubleClickTime(int32_t milliseconds) override { Step("SetDoubleClickTime " + std::to_string(milliseconds)); }
  bool OpenUserMouseKey() override { return Step("open"); }
  bool WriteUserText(const char* name, const std::string& text) override {
    return Step(std::string(name) + "=" + text);
  }
  void CloseUserMouseKey() override { Step("close"); }
  void StoreInModelKey(const DoubleClickSettings& s) override {
    Step("model " + std::to_string(s.Speed) + "," + std::to_string(s.Width) + "," + std::to_string(s.Height));
  }

  std::vector<std::string> steps;

 private:
  bool Step(const std::string& step) {
    steps.push_back(step);
    return failing_.count(step.substr(0, step.find_first_of(" ="))) == 0;
  }
  std::set<std::string> failing_;
};

TEST(ApplyDoubleClick, RunsEveryStepInOrderWithTheValuesAsDecimalText) {
  RecordingSystem system;
  EXPECT_EQ(ApplyDoubleClick({700, 4, -1}, system), "");
  const std::vector<std::string> expected = {
      "width 4", "height -1", "time 700", "SetDoubleClickTime 700", "open", "DoubleClickWidth=4",
      "DoubleClickHeight=-1", "DoubleClickSpeed=700", "close", "model 700,4,-1"};
  EXPECT_EQ(system.steps, expected);
}

TEST(ApplyDoubleClick, EachFailedStepAddsItsLetter) {
  struct Case {
    const char* name;
    std::set<std::string> failing;
    const char* letters;
    bool writesUserKey;
  };
  const Case cases[] = {
      {"nothing fails", {}, "", true},
      {"width", {"width"}, "W", true},
      {"height", {"height"}, "H", true},
      {"time", {"time"}, "T", true},
      {"all three settings, in order", {"width", "height", "time"}, "WHT", true},
      {"the second way of setting the time says nothing", {"SetDoubleClickTime"}, "", true},
      {"user key: its writes are skipped", {"open"}, "R", false},
      {"settings and user key", {"time", "width", "open"}, "WTR", false},
      {"each write", {"DoubleClickWidth", "DoubleClickHeight", "DoubleClickSpeed"}, "wht", true},
      {"one write", {"DoubleClickHeight"}, "h", true},
      {"everything that reports", {"width", "height", "time", "DoubleClickSpeed"}, "WHTt", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingSystem system(c.failing);
    EXPECT_EQ(ApplyDoubleClick({500, 32, 32}, system), c.letters);
    bool wroteUserKey = false, stored = false;
    for (const auto& step : system.steps) {
      wroteUserKey |= step.rfind("DoubleClick", 0) == 0;
      stored |= step.rfind("model", 0) == 0;
    }
    EXPECT_EQ(wroteUserKey, c.writesUserKey);
    EXPECT_EQ(stored, c.writesUserKey) << "the model key is written exactly when the user key opened";
  }
}

TEST(DoubleClickFailureText, NamesTheLetters) {
  EXPECT_EQ(DoubleClickFailureText("WHT"), "Fail to SetDoubleClock (WHT)!");
  EXPECT_EQ(DoubleClickFailureText("R"), "Fail to SetDoubleClock (R)!");
}

TEST(ShownNumber, ReadsTheLeadingNumber) {
  struct Case {
    const char* text;
    int64_t value;
  };
  const Case cases[] = {
      {"500", 500},  {"0", 0},   {"", 0},          {"12ab", 12},
      {"ab12", 0},   {"-5", -5}, {"-", 0},         {"4294967295", 4294967295LL},
      {" 5", 0},     {"5 ", 5},  {"99999999999999999999999", 999999999999999999LL},
  };
  for (const auto& c : cases) EXPECT_EQ(ShownNumber(c.text), c.value) << "[" << c.text << "]";
}

TEST(DoubleClickChanged, FalseOnlyWhenBarsAndWindowsAllEqualTheSettingsInForce) {
  const DoubleClickSettings inForce{600, 10, 12};
  struct Case {
    const char* name;
    DoubleClickSettings bars;
    int64_t speed, width, height;
    bool changed;
  };
  const Case cases[] = {
      {"all equal", {600, 10, 12}, 600, 10, 12, false},
      {"speed bar moved", {610, 10, 12}, 600, 10, 12, true},
      {"width bar moved", {600, 11, 12}, 600, 10, 12, true},
      {"height bar moved", {600, 10, 0}, 600, 10, 12, true},
      {"Windows' time differs", {600, 10, 12}, 500, 10, 12, true},
      {"Windows' width differs", {600, 10, 12}, 600, 32, 12, true},
      {"Windows' height differs", {600, 10, 12}, 600, 10, 32, true},
      {"a huge shown value does not wrap", {600, 10, 12}, 600 + (int64_t{1} << 32), 10, 12, true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DoubleClickChanged(c.bars, inForce, c.speed, c.width, c.height), c.changed) << c.name;
}

}  // namespace
}  // namespace koral
