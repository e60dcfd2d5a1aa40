// libFuzzer target: any stored vendor style code (the model key's VenderStyle, or the STYLE of
// "setup.oem") gives a sound style or none, never undefined behaviour.
//
// Input: the code's bytes as the registry or the INI file would hand them over.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/core/fuzz/require.h"
#include "common/core/vender_style.h"

namespace {

using namespace koral;
using fuzz::Require;

bool IsPaletteColour(const std::optional<PaletteColour>& colour) {
  if (!colour) return true;
  for (long index = 0; index < 16; ++index)
    if (PaletteEntry(index) == colour) return true;
  return false;
}

// Digits read as a number by plain arithmetic, for runs short enough not to reach the ceiling
// (leading zeros do not count towards the length).
void CompareWithPlainDigits(std::string_view text) {
  size_t zeros = 0;
  while (zeros < text.size() && text[zeros] == '0') ++zeros;
  size_t digits = zeros;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
  if (digits - zeros > 9) {
    Require(LeadingNumber(text) == kLeadingNumberCeiling, "long digit runs hold at the ceiling");
    return;
  }
  long plain = 0;
  for (size_t i = zeros; i < digits; ++i) plain = plain * 10 + (text[i] - '0');
  Require(LeadingNumber(text) == plain, "short digit runs read exactly");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view code(reinterpret_cast<const char*>(data), size);
  CompareWithPlainDigits(code);

  const auto style = ParseVenderStyle(code);
  Require(style.has_value() == (code.size() > 7), "only codes of eight characters or more give a style");
  if (!style) return 0;
  Require(!style->FontSize || (*style->FontSize >= 1 && *style->FontSize <= 99), "size is two digits");
  Require(!style->FontName || *style->FontName == "Times New Roman" || *style->FontName == "Arial",
          "one of the two faces or the designed one");
  Require(IsPaletteColour(style->TitleColour) && IsPaletteColour(style->SystemColour), "colours from the palette");
  Require(ParseVenderStyle(code.substr(0, 8)) == style, "only the first eight characters count");
  return 0;
}
