// The vendor's title style code (profile value VenderStyle) and the 16-colour palette it indexes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace koral {

struct PaletteColour {
  uint8_t Red = 0;
  uint8_t Green = 0;
  uint8_t Blue = 0;
  friend bool operator==(const PaletteColour&, const PaletteColour&) = default;
};

// Entry 0..15 of the palette; nothing for any other index.
std::optional<PaletteColour> PaletteEntry(long index);

// What a style code asks of the vendor title (lblOemTitle) and the product line (lblSystem).
// An empty optional keeps the designed value.
struct TitleStyle {
  std::optional<std::string> FontName;
  bool Bold = false;
  bool Italic = false;
  std::optional<int> FontSize;  // points, only when above 0
  std::optional<PaletteColour> TitleColour;
  std::optional<PaletteColour> SystemColour;
  friend bool operator==(const TitleStyle&, const TitleStyle&) = default;
};

// Codes of 7 characters or fewer change nothing. A colour index outside the palette leaves that
// colour as designed rather than guessing one.
std::optional<TitleStyle> ParseVenderStyle(std::string_view code);

// The decimal number at the start of the text: "14" -> 14, "1a" -> 1, "a1" -> 0, "" -> 0.
// A run of digits too long for a long reads as kLeadingNumberCeiling (no size or colour index is
// near it) instead of overflowing.
inline constexpr long kLeadingNumberCeiling = 1'000'000'000;
long LeadingNumber(std::string_view text);

}  // namespace koral
