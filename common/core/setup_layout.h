// Layout arithmetic of the setup tools' windows, in twips.
#pragma once

#include <cstdint>

namespace koral {

// The progress message window: its inner height from the icon and the (wrapped) text, both
// centred vertically in it.
struct ProgressLayout {
  int32_t InnerHeight = 0;
  int32_t ImageTop = 0;
  int32_t LabelTop = 0;
  friend bool operator==(const ProgressLayout&, const ProgressLayout&) = default;
};
// Twice the icon's height, or half the icon's height plus the text's when the text is taller.
ProgressLayout PlanProgressLayout(int32_t imageHeight, int32_t labelHeight);

// A horizontal line from Left to Right at Top.
struct HorizontalLine {
  int32_t Left = 0;
  int32_t Right = 0;
  int32_t Top = 0;
  friend bool operator==(const HorizontalLine&, const HorizontalLine&) = default;
};

// What the uninstaller's question window is laid out from.
struct RemovalDesign {
  int32_t WindowWidth;    // outer
  int32_t InnerWidth;
  int32_t CaptionWidth;   // the caption text in the window's font
  int32_t FrameWidth;     // shpRemoval
  int32_t YesWidth;
  int32_t NoWidth;
  int32_t ButtonTop;
  int32_t ButtonHeight;
};

struct RemovalLayout {
  int32_t WindowWidth = 0;  // widened when two buttons and the caption would not fit
  int32_t FrameLeft = 0;
  int32_t YesLeft = 0;
  int32_t NoLeft = 0;       // half a button width right of Yes
  HorizontalLine Shadow;     // the etched separator's dark line, half a button above the buttons
  HorizontalLine Highlight;  // its light line, 20 twips lower and 5 twips longer at each end
  friend bool operator==(const RemovalLayout&, const RemovalLayout&) = default;
};
RemovalLayout PlanRemovalLayout(const RemovalDesign& design);

}  // namespace koral
