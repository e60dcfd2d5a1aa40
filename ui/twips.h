// The one place where designed twips become pixels of the display and back.
#pragma once

namespace koral::ui {

inline constexpr int kTwipsPerInch = 1440;

// Dots per inch of the display, read once.
int DpiX();
int DpiY();
// Whole pixels per twip as the forms see it (15 at 96 dpi).
int TwipsPerPixelX();
int TwipsPerPixelY();

int TwipsToPixelsX(int twips);
int TwipsToPixelsY(int twips);
int PixelsToTwipsX(int pixels);
int PixelsToTwipsY(int pixels);

// The screen's size in twips.
int ScreenWidth();
int ScreenHeight();

// A font size in points as a (negative) character height in pixels.
int FontHeightPixels(double points);

}  // namespace koral::ui
