#include "common/core/setup_settings.h"

#include <map>

namespace koral {
namespace {

constexpr int64_t kSaturation = 1'000'000'000'000;  // 10^12
constexpr size_t kSaturationDigits = 12;
constexpr int64_t kExponentCap = 100'000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int64_t DigitsValue(std::string_view digits) {
  if (digits.size() > kSaturationDigits) return kSaturation;
  int64_t value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

// Whole part of digits x 10^scale, rounded half to even; digits carry no leading zeros.
int64_t RoundScaled(const std::string& digits, int64_t scale) {
  if (digits.empty()) return 0;
  const auto length = static_cast<int64_t>(digits.size());
  if (scale >= 0) {
    if (length + scale > static_cast<int64_t>(kSaturationDigits)) return kSaturation;
    return DigitsValue(digits + std::string(static_cast<size_t>(scale), '0'));
  }
  const int64_t dropped = -scale;
  if (dropped > length) return 0;  // below 0.1
  const auto kept = static_cast<size_t>(length - dropped);
  const int64_t whole = DigitsValue(std::string_view(digits).substr(0, kept));
  const char first = digits[kept];
  const bool restNonZero = digits.find_first_not_of('0', kept + 1) != std::string::npos;
  const bool up = first > '5' || (first == '5' && (restNonZero || whole % 2 != 0));
  return up && whole < kSaturation ? whole + 1 : whole;
}

}  // namespace

int64_t RoundedLeadingNumber(std::string_view text) {
  size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';

  std::string digits;  // significant digits of the whole and fractional parts, no leading zeros
  int64_t scale = 0;   // value = digits x 10^scale
  bool any = false;
  auto take = [&](char c) {
    any = true;
    if (digits.empty() && c == '0') return;
    digits += c;
  };
  for (; at < text.size() && IsDigit(text[at]); ++at) take(text[at]);
  if (at < text.size() && text[at] == '.') {
    for (++at; at < text.size() && IsDigit(text[at]); ++at) {
      take(text[at]);
      --scale;  // a leading zero of the fraction is not kept but still shifts the rest
    }
  }
  if (!any) return 0;
  if (at + 1 < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    size_t e = at + 1;
    bool negativeExponent = false;
    if (text[e] == '+' || text[e] == '-') negativeExponent = text[e++] == '-';
    if (e < text.size() && IsDigit(text[e])) {
      int64_t exponent = 0;
      for (; e < text.size() && IsDigit(text[e]); ++e)
        exponent = std::min(exponent * 10 + (text[e] - '0'), kExponentCap);
      scale += negativeExponent ? -exponent : exponent;
    }
  }
  const int64_t magnitude = RoundScaled(digits, scale);
  return negative ? -magnitude : magnitude;
}

int32_t SettingValue(std::string_view text, int32_t minimum, int32_t maximum) {
  if (text.empty()) return kSettingEmpty;
  const int64_t value = RoundedLeadingNumber(text);
  if (value < minimum) return kSettingBelowRange;
  if (value > maximum) return kSettingAboveRange;
  return static_cast<int32_t>(value);
}

std::vector<uint8_t> SeedBytes(uint32_t value, int byteCount) {
  auto byte = [value](int n) { return static_cast<uint8_t>(value >> (8 * n)); };
  switch (byteCount) {
    case 1:
      return {byte(0)};
    case 2:
      return {byte(0), byte(1)};
    case 4:
      return {byte(3), byte(2), byte(1), byte(0)};
    default:
      return {};
  }
}

std::string_view SeededValueOf(std::string_view key) {
  for (const SeedValue& seed : kSeedValues)
    for (const char* part : seed.Keys)
      if (part != nullptr && key == part) return seed.ValueName;
  return {};
}

std::vector<SeedStore> PlanSeedStores(const std::function<int32_t(const SetupIniKey& key)>& readSetting) {
  std::map<std::string, int32_t, std::less<>> read;
  for (const SetupIniKey& key : kSetupIniKeys) read[key.Name] = readSetting(key);

  std::vector<SeedStore> stores;
  for (const SeedValue& seed : kSeedValues) {
    // Four settings of 0..255 in one 4-byte value, the first in the most significant byte.
    uint32_t value = 0;
    bool complete = true;
    for (const char* key : seed.Keys) {
      if (key == nullptr) continue;
      const int32_t part = read.at(key);
      if (part < 0) {
        complete = false;
        break;
      }
      value = value << 8 | static_cast<uint32_t>(part);
    }
    if (complete) stores.push_back({seed.ValueName, static_cast<int32_t>(value), seed.ByteCount});
  }
  return stores;
}

}  // namespace koral
