#include "programs/panel/bar_scale.h"

namespace koral::panel {
namespace {

constexpr int kInset = 180;     // between the frame's sides and the bar's ends
constexpr int kEndWidth = 735;  // the scale text at each end
constexpr int kTextHeight = 195;

int BarWidth(const ui::Frame& frame) { return frame.Width() - 2 * kInset; }

}  // namespace

void DesignBar(ui::Frame& frame, ui::HScrollBar& bar, int top) {
  bar.Create(frame, {kInset, top, BarWidth(frame), 255});
}

void DesignScaleRow(ui::Frame& frame, int top, const ScaleRow& row) {
  const int width = BarWidth(frame);
  row.Left.Create(frame, {kInset, top, kEndWidth, kTextHeight}, row.LeftText);
  row.Middle.Create(frame, {kInset + kEndWidth, top, width - 2 * kEndWidth, kTextHeight}, row.MiddleText);
  row.Middle.Alignment(ui::Alignment::Centre);
  row.Right.Create(frame, {kInset + width - kEndWidth, top, kEndWidth, kTextHeight}, row.RightText);
  row.Right.Alignment(ui::Alignment::Right);
}

}  // namespace koral::panel
