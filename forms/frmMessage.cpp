#include "forms/frmMessage.h"

#include "common/core/setup_layout.h"
#include "common/win/pointer.h"
#include "forms/branding.h"

namespace koral {
namespace {

constexpr int kImageLeft = 240;
constexpr int kLabelLeft = 960;
constexpr int kRightMargin = 240;

}  // namespace

frmMessage::frmMessage(ui::Application& app) : Form(app, "frmMessage") {}

void frmMessage::Design() {
  BorderStyle(ui::FormBorder::FixedDialog);
  ClientSize(kInnerWidth, 960);
  imgMsg.Create(*this, {kImageLeft, 240, 480, 480});
  imgMsg.Icon(ui::ProgramIcon());
  lblMsg.Create(*this, {kLabelLeft, 382, kInnerWidth - kLabelLeft - kRightMargin, 195});
  lblMsg.WordWrap(true);
  lblMsg.AutoSize(true);
}

void frmMessage::ShowMessage(const std::string& text, const std::string& caption) {
  if (!Load()) return;
  Caption(caption);
  lblMsg.Caption(text);
  const ProgressLayout layout = PlanProgressLayout(imgMsg.Height(), lblMsg.Height());
  ClientSize(kInnerWidth, layout.InnerHeight);
  imgMsg.Top(layout.ImageTop);
  lblMsg.Top(layout.LabelTop);
  {
    BusyPointer busy;
    CentreWindow(*this);
  }
  Show();
  Refresh();
}

void frmMessage::Close() {
  closing_ = true;
  Unload();
  closing_ = false;
}

void frmMessage::Form_Unload(bool& cancel) { cancel = !closing_; }

}  // namespace koral
