#include "programs/removal/frmMain.h"

#include <utility>

#include "common/core/mouse_class_rules.h"
#include "common/core/setup_layout.h"
#include "common/core/setup_messages.h"
#include "common/core/titles.h"
#include "common/win/pointer.h"
#include "common/win/startup_steps.h"
#include "programs/removal/removal.h"
#include "ui/gdi.h"
#include "ui/twips.h"

namespace koral::removal {

frmMain::frmMain(ui::Application& app, SettingsStore& store, TrustedFolders trusted)
    : BrandedForm(app, "frmMain"), dialogs(app), store_(store), trusted_(std::move(trusted)) {
  cmdYes.Click = Handler(&frmMain::cmdYes_Click);
  cmdNo.Click = Handler(&frmMain::cmdNo_Click);
  imgIcon.DblClick = Handler(&frmMain::imgIcon_DblClick);
}

void frmMain::Design() {
  Caption("TouchScreen Software Removal");
  BorderStyle(ui::FormBorder::FixedSingle);
  ClientSize(6360, 3945);

  DesignTitleArea(kRemovalSystemLine);

  shpRemoval.Create(*this, {360, 1320, 5595, 1455});
  shpRemoval.BorderColor(ui::kGrey);
  imgRemoval.Create(*this, {600, 1560, 480, 480});
  imgRemoval.Icon(LoadIconA(nullptr, IDI_WARNING));
  lblText.Create(*this, {1320, 1500, 4440, 435}, kRemovalWarningText);
  lblText.WordWrap(true);
  lblAsk.Create(*this, {1320, 2040, 4440, 585}, "Are you sure you want to remove TouchScreen Driver now?");
  lblAsk.WordWrap(true);

  cmdYes.Create(*this, {1320, 3120, 1455, 495}, "&Yes");
  cmdNo.Create(*this, {3360, 3120, 1455, 495}, "&No");
  cmdNo.Default(true);
  cmdNo.Cancel(true);

  for (auto [line, colour] : {std::pair{&linShadow, ui::SystemColour(COLOR_BTNSHADOW)},
                              std::pair{&linHighlight, ui::SystemColour(COLOR_BTNHIGHLIGHT)}}) {
    line->Create(*this, {0, 0, 0, ui::TwipsPerPixelY()});
    line->BackStyle(ui::BackStyle::Opaque);
    line->BackColor(colour);
    line->BorderWidth(0);
  }
}

void frmMain::Form_Load() {
  Caption(kUninstallerTitle);
  lblSystem.Caption(lblSystem.Caption() + kDriverVersion);
  const StartupSteps start(Caption(), StartupSteps::Report::PlainBox);
  if (!start.LoadProfile(store_, profile_)) return App().EndProgram();
  BrandMainWindow(*this, profile_);
  lblAsk.Caption(kRemovalQuestionText);
  LayOut();
  CentreWindow(*this);
  CentreIcon(*this);
}

// Enter and Esc answer No: the focus starts on it, so that Enter never meets a focused Yes.
void frmMain::Form_Activate() {
  if (focusPlaced_) return;
  focusPlaced_ = true;
  cmdNo.SetFocus();
}

void frmMain::LayOut() {
  const RemovalLayout layout = PlanRemovalLayout({Width(), ScaleWidth(), TextWidth(Caption()), shpRemoval.Width(),
                                                  cmdYes.Width(), cmdNo.Width(), cmdYes.Top(), cmdYes.Height()});
  if (layout.WindowWidth != Width()) Width(layout.WindowWidth);
  shpRemoval.Left(layout.FrameLeft);
  cmdYes.Left(layout.YesLeft);
  cmdNo.Left(layout.NoLeft);
  for (auto [line, at] : {std::pair{&linShadow, layout.Shadow}, std::pair{&linHighlight, layout.Highlight}})
    line->Move(at.Left, at.Top, at.Right - at.Left, line->Height());
}

int frmMain::TextWidth(const std::string& text) const {
  // The labels carry the window's font.
  const HWND like = lblAsk.hwnd();
  ui::WindowDC dc(like);
  ui::Selection font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageA(like, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
  return ui::PixelsToTwipsX(size.cx);
}

void frmMain::cmdYes_Click() {
  Hide();
  RemoveTouchScreen(App(), trusted_, dialogs.Progress);
  Unload();
  App().EndProgram();
}

void frmMain::cmdNo_Click() {
  Unload();
  App().EndProgram();
}

void frmMain::imgIcon_DblClick() {
  BusyPointer busy;
  Hide();
  dialogs.About.Show();
}

}  // namespace koral::removal
