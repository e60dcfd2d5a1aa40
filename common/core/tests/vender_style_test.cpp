#include "common/core/vender_style.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace koral {
namespace {

constexpr PaletteColour kBlack{0, 0, 0};
constexpr PaletteColour kNavy{0, 0, 128};
constexpr PaletteColour kLightBlue{0, 0, 255};
constexpr PaletteColour kWhite{255, 255, 255};

TEST(VenderStyle, CodesOfSevenCharactersOrFewerChangeNothing) {
  for (const char* code : {"", "2", "2114010"}) {
    EXPECT_FALSE(ParseVenderStyle(code).has_value()) << '"' << code << '"';
  }
}

struct StyleCase {
  const char* Code;
  TitleStyle Expected;
};

class VenderStyleCodes : public testing::TestWithParam<StyleCase> {};

TEST_P(VenderStyleCodes, GiveTheirStyle) {
  const auto style = ParseVenderStyle(GetParam().Code);
  ASSERT_TRUE(style.has_value());
  EXPECT_EQ(*style, GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, VenderStyleCodes,
    testing::Values(
        // Arial, bold, 14 points, navy title, light blue product line.
        StyleCase{"21140109", {"Arial", true, false, 14, kNavy, kLightBlue}},
        // A 3 and seven zeros: design font, regular, design size, both black.
        StyleCase{"30000000", {std::nullopt, false, false, std::nullopt, kBlack, kBlack}},
        StyleCase{"12201515", {"Times New Roman", false, true, 20, kWhite, kWhite}},
        StyleCase{"13090000", {"Times New Roman", true, true, 9, kBlack, kBlack}},
        // A face digit other than 1..3 (or no digit) is regular.
        StyleCase{"04120000", {std::nullopt, false, false, 12, kBlack, kBlack}},
        StyleCase{"2x120000", {"Arial", false, false, 12, kBlack, kBlack}},
        // Numbers are read from their leading digits; a field without one reads as 0.
        StyleCase{"111a1a9z", {"Times New Roman", true, false, 1, PaletteColour{0, 0, 128},
                               PaletteColour{0, 0, 255}}},
        StyleCase{"21 4 1x9", {"Arial", true, false, std::nullopt, kBlack, kBlack}},
        // Characters after the eighth do not count.
        StyleCase{"21140109999", {"Arial", true, false, 14, kNavy, kLightBlue}}),
    // Named after the code (letters and digits kept, anything else as "_"), so that CTest lists
    // readable names.
    [](const testing::TestParamInfo<StyleCase>& info) {
      std::string name = "code_";
      for (const char* c = info.param.Code; *c; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
      return name;
    });

TEST(VenderStyle, ColourIndexOutsideThePaletteKeepsTheDesignedColour) {
  const auto style = ParseVenderStyle("21141699");
  ASSERT_TRUE(style.has_value());
  EXPECT_FALSE(style->TitleColour.has_value());
  EXPECT_FALSE(style->SystemColour.has_value());
  EXPECT_EQ(style->FontSize, 14);

  const auto mixed = ParseVenderStyle("21141509");
  ASSERT_TRUE(mixed.has_value());
  EXPECT_EQ(mixed->TitleColour, kWhite);
  EXPECT_EQ(mixed->SystemColour, kLightBlue);
}

TEST(VenderStyle, PaletteHasSixteenEntries) {
  EXPECT_EQ(PaletteEntry(0), kBlack);
  EXPECT_EQ(PaletteEntry(7), (PaletteColour{192, 192, 192}));
  EXPECT_EQ(PaletteEntry(8), (PaletteColour{128, 128, 128}));
  EXPECT_EQ(PaletteEntry(12), (PaletteColour{255, 0, 0}));
  EXPECT_EQ(PaletteEntry(15), kWhite);
  EXPECT_FALSE(PaletteEntry(16).has_value());
  EXPECT_FALSE(PaletteEntry(-1).has_value());
}

TEST(VenderStyle, LongRunsOfDigitsHoldAtTheCeilingInsteadOfOverflowing) {
  struct Case {
    std::string Text;
    long Expected;
  };
  const Case cases[] = {
      {"999999999", 999'999'999},
      {"1000000000", kLeadingNumberCeiling},
      {std::string(40, '9'), kLeadingNumberCeiling},
      {std::string(10'000, '7') + "x", kLeadingNumberCeiling},
      {"0000000000000000000012", 12},
  };
  for (const Case& c : cases) EXPECT_EQ(LeadingNumber(c.Text), c.Expected) << c.Text.substr(0, 24);
  // A 10,000-character stored code is read by its first eight characters alone.
  EXPECT_EQ(ParseVenderStyle("21140109" + std::string(10'000, '9')), ParseVenderStyle("21140109"));
}

}  // namespace
}  // namespace koral
