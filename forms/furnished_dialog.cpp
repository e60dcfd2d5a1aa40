#include "furnished_dialog.h"

namespace koral {
namespace {

constexpr int kWidth = 6645;
constexpr int kMargin = 120;  // between the window's edge and Shape1
constexpr int kButtonWidth = 1275;
constexpr int kButtonHeight = 435;
constexpr int kButtonGap = 120;
constexpr int kRowGap = 240;  // between the own controls and the buttons
constexpr int kBottom = 360;  // below the buttons

}  // namespace

int FurnishedDialog::DesignDialogFrame(const std::string& caption, int contentHeight) {
  const int buttonsTop = kContentTop + contentHeight + kRowGap;
  const int height = buttonsTop + kButtonHeight + kBottom;
  Caption(caption);
  BorderStyle(ui::FormBorder::FixedSingle);
  ClientSize(kWidth, height);
  DesignTitleArea();
  Shape1.Create(*this, {kMargin, kMargin, kWidth - 2 * kMargin, height - 2 * kMargin});
  Shape1.BorderColor(ui::kGrey);
  return buttonsTop;
}

ui::Rect FurnishedDialog::ButtonPlace(int rowTop, int fromRight) {
  const int left = kContentRight - kButtonWidth - fromRight * (kButtonWidth + kButtonGap);
  return {left, rowTop, kButtonWidth, kButtonHeight};
}

}  // namespace koral
