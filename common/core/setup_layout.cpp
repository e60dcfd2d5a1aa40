#include "common/core/setup_layout.h"

#include "common/core/placement.h"

namespace koral {

ProgressLayout PlanProgressLayout(int32_t imageHeight, int32_t labelHeight) {
  int32_t inner = 2 * imageHeight;
  if (labelHeight > inner) inner = imageHeight / 2 + labelHeight;
  auto centred = [inner](int32_t height) { return static_cast<int32_t>(RoundHalfEven(int64_t{inner} - height, 2)); };
  return {inner, centred(imageHeight), centred(labelHeight)};
}

RemovalLayout PlanRemovalLayout(const RemovalDesign& d) {
  RemovalLayout layout;
  layout.WindowWidth = d.WindowWidth;
  const int32_t needed = 2 * d.YesWidth + d.CaptionWidth;
  if (needed > d.WindowWidth) layout.WindowWidth = needed;
  const int32_t inner = d.InnerWidth + (layout.WindowWidth - d.WindowWidth);

  layout.FrameLeft = (inner - d.FrameWidth) / 2;
  // One and a half button widths keep half a button between Yes and No; the half twip that
  // can give is rounded to the even neighbour before the whole-number division.
  layout.YesLeft = static_cast<int32_t>(RoundHalfEven(2 * int64_t{inner} - 3 * int64_t{d.YesWidth} - 2 * int64_t{d.NoWidth}, 2) / 2);
  layout.NoLeft = static_cast<int32_t>(RoundHalfEven(2 * int64_t{layout.YesLeft} + 3 * int64_t{d.YesWidth}, 2));

  const int32_t frameRight = layout.FrameLeft + d.FrameWidth;
  const auto top = static_cast<int32_t>(RoundHalfEven(2 * int64_t{d.ButtonTop} - d.ButtonHeight, 2));
  layout.Shadow = {layout.FrameLeft - 50, frameRight + 50, top};
  layout.Highlight = {layout.Shadow.Left - 5, layout.Shadow.Right + 5, top + 20};
  return layout;
}

}  // namespace koral
