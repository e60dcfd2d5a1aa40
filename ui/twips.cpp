#include "ui/twips.h"

#include <windows.h>

#include <cmath>

namespace koral::ui {
namespace {

struct Dpi {
  int X = 96;
  int Y = 96;
};

const Dpi& DisplayDpi() {
  static const Dpi dpi = [] {
    Dpi d;
    if (HDC screen = GetDC(nullptr)) {
      d.X = GetDeviceCaps(screen, LOGPIXELSX);
      d.Y = GetDeviceCaps(screen, LOGPIXELSY);
      ReleaseDC(nullptr, screen);
    }
    if (d.X <= 0) d.X = 96;
    if (d.Y <= 0) d.Y = 96;
    return d;
  }();
  return dpi;
}

}  // namespace

int DpiX() { return DisplayDpi().X; }
int DpiY() { return DisplayDpi().Y; }
int TwipsPerPixelX() { return kTwipsPerInch / DpiX(); }
int TwipsPerPixelY() { return kTwipsPerInch / DpiY(); }

int TwipsToPixelsX(int twips) { return MulDiv(twips, DpiX(), kTwipsPerInch); }
int TwipsToPixelsY(int twips) { return MulDiv(twips, DpiY(), kTwipsPerInch); }
int PixelsToTwipsX(int pixels) { return MulDiv(pixels, kTwipsPerInch, DpiX()); }
int PixelsToTwipsY(int pixels) { return MulDiv(pixels, kTwipsPerInch, DpiY()); }

int ScreenWidth() { return PixelsToTwipsX(GetSystemMetrics(SM_CXSCREEN)); }
int ScreenHeight() { return PixelsToTwipsY(GetSystemMetrics(SM_CYSCREEN)); }

int FontHeightPixels(double points) {
  return -MulDiv(static_cast<int>(std::lround(points * 100)), DpiY(), 7200);
}

}  // namespace koral::ui
