#include "forms/branding.h"

#include "common/core/placement.h"
#include "common/core/vender_style.h"
#include "common/win/utilities.h"
#include "ui/twips.h"

namespace koral {
namespace {

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

BrandedForm* MainWindow(const ui::Form& form) { return dynamic_cast<BrandedForm*>(form.App().MainForm()); }

void BrandMainWindow(BrandedForm& form, const InstallationProfile& profile) {
  form.venderName_ = profile.VenderName;
  form.venderStyle_ = profile.VenderStyle;
  const std::string logo = profile.InstallPath + kLogoFile;
  // A logo file that is not a readable bitmap would leave the title area empty: show the name.
  form.logoMode_ = FileExists(logo) && form.picLogo.LoadPicture(logo);
  if (form.logoMode_) {
    MakeRoomForLogo(form);
    return;
  }
  form.lblOemTitle.Caption(profile.VenderName);
  ApplyVenderStyle(form, profile.VenderStyle);
}

void ApplyVenderStyle(BrandedForm& form, const std::string& code) {
  const auto style = ParseVenderStyle(code);
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
  if (const BrandedForm* main = MainWindow(dialog)) dialog.lblSystem.Caption(main->lblSystem.Caption());
}

void BrandDialog(BrandedForm& dialog) {
  const BrandedForm* main = MainWindow(dialog);
  if (!main) return;
  if (main->LogoMode()) {
    MakeRoomForLogo(dialog);
    dialog.picLogo.CopyPicture(main->picLogo);
    return;
  }
  dialog.lblOemTitle.Caption(main->lblOemTitle.Caption());
  ApplyVenderStyle(dialog, main->VenderStyle());
}

void DressDialog(BrandedForm& dialog) {
  CopySystemLine(dialog);
  if (const BrandedForm* main = MainWindow(dialog)) dialog.Caption(main->Caption());
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

void ReturnToMainWindow(const ui::Form& dialog) {
  ui::Form* main = dialog.App().MainForm();
  if (!main) return;
  main->Show();
  main->SetFocus();
}

}  // namespace koral
