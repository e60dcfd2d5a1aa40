#include "forms/branding.h"

#include "common/core/placement.h"
#include "common/core/vender_style.h"
#include "common/win/profile.h"
#include "common/win/utilities.h"
#include "ui/twips.h"

namespace koral {
namespace {

BrandedForm* g_mainWindow = nullptr;
bool g_logoMode = false;

ui::Colour ToColour(const PaletteColour& colour) { return RGB(colour.Red, colour.Green, colour.Blue); }

// In logo mode the product line sits at the top left of the logo.
void MakeRoomForLogo(BrandedForm& form) {
  form.lblOemTitle.Visible(false);
  form.lblSystem.Move(2, form.lblSystem.Top() - 2);
}

}  // namespace

void BrandedForm::DesignTitleArea(const std::string& systemLine) {
  // Looks are set before each window is made, which then needs no restyling.
  picLogo.BorderStyle(ui::BorderStyle::None);
  picLogo.Create(*this, {480, 360, 4740, 780});
  lblOemTitle.Font({"Times New Roman", 20.25, true, false});
  lblOemTitle.ForeColor(ui::kRed);
  lblOemTitle.BackStyle(ui::BackStyle::Transparent);
  lblOemTitle.Create(picLogo, {0, 0, 2940, 465}, "Brimholt");
  lblSystem.Font({"MS Sans Serif", 8.25, true, false});
  lblSystem.ForeColor(ui::kBlue);
  lblSystem.BackStyle(ui::BackStyle::Transparent);
  lblSystem.Create(picLogo, {0, 600, 3105, 195}, systemLine);
  // The main window appends its version at load, and dialogs copy that longer line.
  lblSystem.AutoSize(true);
  picIcon.Create(*this, {5280, 360, 780, 780});
  imgIcon.Create(picIcon, {0, 0, 480, 480});
  imgIcon.Icon(ui::ProgramIcon());
}

void SetMainWindow(BrandedForm* form) { g_mainWindow = form; }
BrandedForm* MainWindow() { return g_mainWindow; }
bool LogoMode() { return g_logoMode; }

void BrandMainWindow(BrandedForm& form) {
  const std::string logo = Profile().InstallPath + kLogoFile;
  // A logo file that is not a readable bitmap would leave the title area empty: show the name.
  g_logoMode = FileExists(logo) && form.picLogo.LoadPicture(logo);
  if (g_logoMode) {
    MakeRoomForLogo(form);
    return;
  }
  form.lblOemTitle.Caption(Profile().VenderName);
  ApplyVenderStyle(form);
}

void ApplyVenderStyle(BrandedForm& form) {
  const auto style = ParseVenderStyle(Profile().VenderStyle);
  if (!style) return;
  ui::FontSpec font = form.lblOemTitle.Font();
  if (style->FontName) font.Name = *style->FontName;
  font.Bold = style->Bold;
  font.Italic = style->Italic;
  if (style->FontSize) font.Size = *style->FontSize;
  form.lblOemTitle.Font(font);
  if (style->TitleColour) form.lblOemTitle.ForeColor(ToColour(*style->TitleColour));
  if (style->SystemColour) form.lblSystem.ForeColor(ToColour(*style->SystemColour));
}

void CopySystemLine(BrandedForm& dialog) {
  if (g_mainWindow) dialog.lblSystem.Caption(g_mainWindow->lblSystem.Caption());
}

void BrandDialog(BrandedForm& dialog) {
  if (g_logoMode) {
    MakeRoomForLogo(dialog);
    if (g_mainWindow) dialog.picLogo.CopyPicture(g_mainWindow->picLogo);
    return;
  }
  if (g_mainWindow) dialog.lblOemTitle.Caption(g_mainWindow->lblOemTitle.Caption());
  ApplyVenderStyle(dialog);
}

void DressDialog(BrandedForm& dialog) {
  CopySystemLine(dialog);
  if (g_mainWindow) dialog.Caption(g_mainWindow->Caption());
  BrandDialog(dialog);
  CentreWindow(dialog);
  CentreIcon(dialog);
}

void CentreWindow(ui::Form& form) {
  const Position at = CentredWindow(ui::ScreenWidth(), ui::ScreenHeight(), form.Width(), form.Height());
  form.Move(at.Left, at.Top);
}

void CentreIcon(BrandedForm& form) {
  const Position at = CentredInside(form.picIcon.ScaleWidth(), form.picIcon.ScaleHeight(), form.imgIcon.Width(),
                                    form.imgIcon.Height());
  form.imgIcon.Move(at.Left, at.Top);
}

void ReturnToMainWindow() {
  if (!g_mainWindow) return;
  g_mainWindow->Show();
  g_mainWindow->SetFocus();
}

}  // namespace koral
