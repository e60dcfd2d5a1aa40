#include "common/core/vender_style.h"

#include <array>

namespace koral {
namespace {

constexpr std::array<PaletteColour, 16> kPalette = {{
    {0, 0, 0}, {0, 0, 128}, {0, 128, 0}, {0, 128, 128},
    {128, 0, 0}, {128, 0, 128}, {128, 128, 0}, {192, 192, 192},
    {128, 128, 128}, {0, 0, 255}, {0, 255, 0}, {0, 255, 255},
    {255, 0, 0}, {255, 0, 255}, {255, 255, 0}, {255, 255, 255},
}};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<PaletteColour> PaletteEntry(long index) {
  if (index < 0 || index >= static_cast<long>(kPalette.size())) return std::nullopt;
  return kPalette[static_cast<size_t>(index)];
}

long LeadingNumber(std::string_view text) {
  long value = 0;
  for (char c : text) {
    if (!IsDigit(c)) break;
    if (value >= kLeadingNumberCeiling / 10) return kLeadingNumberCeiling;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::optional<TitleStyle> ParseVenderStyle(std::string_view code) {
  if (code.size() <= 7) return std::nullopt;
  TitleStyle style;
  if (code[0] == '1') style.FontName = "Times New Roman";
  if (code[0] == '2') style.FontName = "Arial";
  const char face = code[1];
  style.Bold = face == '1' || face == '3';
  style.Italic = face == '2' || face == '3';
  if (const long size = LeadingNumber(code.substr(2, 2)); size > 0) style.FontSize = static_cast<int>(size);
  style.TitleColour = PaletteEntry(LeadingNumber(code.substr(4, 2)));
  style.SystemColour = PaletteEntry(LeadingNumber(code.substr(6, 2)));
  return style;
}

}  // namespace koral
