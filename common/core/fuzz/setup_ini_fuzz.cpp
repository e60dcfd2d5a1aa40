// libFuzzer target: any "setup.ini" texts must give a sound import, never undefined behaviour.
//
// Input: the texts of the eighteen keys in their reading order, separated by '\n' (missing ones
// read as empty); the whole input is also read as a single text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/core/fuzz/require.h"
#include "common/core/ini_text.h"
#include "common/core/placement.h"
#include "common/core/setup_settings.h"

namespace {

using namespace koral;
using fuzz::Require;

const SetupIniKey* Key(std::string_view name) {
  for (const SetupIniKey& key : kSetupIniKeys)
    if (name == key.Name) return &key;
  return nullptr;
}

bool InRange(int64_t value, const char* name) {
  const SetupIniKey* key = Key(name);
  return key && value >= key->Minimum && value <= key->Maximum;
}

// Plain "digits[.digits]" texts of up to six digits each, rounded by integer arithmetic.
void CompareWithPlainDecimal(std::string_view text) {
  const auto point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
  auto digitsOnly = [](std::string_view s) { return s.find_first_not_of("0123456789") == std::string_view::npos; };
  if (whole.empty() || whole.size() > 6 || fraction.size() > 6 || !digitsOnly(whole) || !digitsOnly(fraction)) return;
  if (point != std::string_view::npos && fraction.empty()) return;
  int64_t scaled = 0;
  for (char c : whole) scaled = scaled * 10 + (c - '0');
  for (size_t i = 0; i < 6; ++i) scaled = scaled * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
  Require(RoundedLeadingNumber(text) == RoundHalfEven(scaled, 1'000'000), "plain decimal rounds half to even");
}

void CheckText(std::string_view text) {
  const int64_t number = RoundedLeadingNumber(text);
  Require(number >= -1'000'000'000'000 && number <= 1'000'000'000'000, "number saturates");
  CompareWithPlainDecimal(text);
  const int32_t setting = SettingValue(text, 1, 20);
  Require(setting == kSettingEmpty || setting == kSettingBelowRange || setting == kSettingAboveRange ||
              (setting >= 1 && setting <= 20),
          "setting is a sentinel or in range");
  Require((setting == kSettingEmpty) == text.empty(), "only the empty text is empty");
  const std::string clean = CleanIniValue(text);
  Require(CleanIniValue(clean) == clean, "cleaning is idempotent");
  Require(clean.empty() || clean.back() != ' ', "no trailing blank");
  const bool breaks = text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
  Require(IniTextIsSafe(text) != breaks, "unsafe exactly with a line break or NUL");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  CheckText(input);

  std::vector<std::string> texts;
  for (size_t from = 0; from <= input.size() && texts.size() < std::size(kSetupIniKeys);) {
    const size_t end = std::min(input.find('\n', from), input.size());
    texts.emplace_back(input.substr(from, end - from));
    CheckText(texts.back());
    from = end + 1;
  }
  size_t asked = 0;
  const auto stores = PlanSeedStores([&](const SetupIniKey& key) {
    const std::string text = asked < texts.size() ? texts[asked] : std::string();
    ++asked;
    return SettingValue(text, key.Minimum, key.Maximum);
  });

  static const char* const kOrder[] = {"CalibrationMode", "VirtualButton", "RightButtonFunction", "RightButtonAutomatic",
                                       "FeedbackSound", "FeedbackTone", "FeedbackDuration", "MouseSpeed",
                                       "DoubleClickSpeed", "DoubleClickWidth", "DoubleClickHeight", "PanelDirection"};
  size_t next = 0;
  for (const SeedStore& store : stores) {
    while (next < std::size(kOrder) && store.ValueName != kOrder[next]) ++next;
    Require(next < std::size(kOrder), "stores keep their order, each at most once");
    ++next;
    const auto value = static_cast<uint32_t>(store.Value);
    if (store.ValueName == "RightButtonAutomatic" || store.ValueName == "MouseSpeed") {
      Require(store.ByteCount == 4, "four-byte values");
      const auto bytes = SeedBytes(value, 4);
      Require(bytes.size() == 4, "four bytes");
      const char* const parts[2][4] = {
          {"RightButtonAutoMode", "RightButtonAutoSTime", "RightButtonAutoETime", "RightButtonAutoBeep"},
          {"MouseHSpeed", "MouseVSpeed", "MouseAcceleration", "MouseBypass"}};
      const auto& names = parts[store.ValueName == "MouseSpeed" ? 1 : 0];
      for (int i = 0; i < 4; ++i) Require(InRange(bytes[i], names[i]), "each byte in its key's range");
    } else {
      Require(InRange(store.Value, store.ValueName.c_str()), "single values in range");
      Require(SeedBytes(value, store.ByteCount).size() == static_cast<size_t>(store.ByteCount), "byte count");
    }
  }
  return 0;
}
