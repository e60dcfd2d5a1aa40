// The layout the one-bar dialogs share: a bar across its frame, and rows of three labels over or
// under it, a scale text at each end of the bar and one centred between them.
#pragma once

#include "ui/controls.h"

namespace koral::panel {

struct ScaleRow {
  ui::Label& Left;
  const char* LeftText;
  ui::Label& Middle;
  const char* MiddleText;
  ui::Label& Right;
  const char* RightText;
};

// The bar across the frame (created before), with its top at `top`.
void DesignBar(ui::Frame& frame, ui::HScrollBar& bar, int top);
void DesignScaleRow(ui::Frame& frame, int top, const ScaleRow& row);

}  // namespace koral::panel
