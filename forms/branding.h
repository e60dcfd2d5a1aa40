// The title area every window of the suite carries (the vendor's logo, or the vendor's name in
// the vendor's style, above the product line, and the program icon), the placement that gives
// every dialog the main window's look, and the way back to the main window.
#pragma once

#include <string>

#include "common/win/profile.h"
#include "ui/controls.h"
#include "ui/form.h"

namespace koral {

// Files of the installation folder (InstallPath) that decide the branding and the support button.
inline constexpr const char kLogoFile[] = "\\KRLogo.Bmp";
inline constexpr const char kVenderBitmapFile[] = "\\KRVender.Bmp";
inline constexpr const char kVenderCutFile[] = "\\KRVender.Cut";

// A form with the title area's controls under their designed names. The form places them in
// its Design(). The program's main window also keeps how it was branded, which its dialogs copy.
class BrandedForm : public ui::Form {
 public:
  using Form::Form;

  // True once the window shows the installation's logo bitmap instead of the vendor's name.
  bool LogoMode() const { return logoMode_; }
  // The vendor's name and style code the window was branded with.
  const std::string& VenderName() const { return venderName_; }
  const std::string& VenderStyle() const { return venderStyle_; }

  ui::PictureBox picLogo{this, "picLogo"};
  ui::Label lblOemTitle{this, "lblOemTitle"};
  ui::Label lblSystem{this, "lblSystem"};
  ui::PictureBox picIcon{this, "picIcon"};
  ui::Image imgIcon{this, "imgIcon"};

 protected:
  // Creates the title area at its designed place (for a form's Design): the vendor title and the
  // product line (its design text `systemLine`, to which each program's main window appends its
  // version) in picLogo, the program icon in picIcon. Dialogs use the main window's places, so
  // that what DressDialog copies fits.
  void DesignTitleArea(const std::string& systemLine = "TouchScreen Control Panel Version ");

 private:
  friend void BrandMainWindow(BrandedForm&, const InstallationProfile&);
  bool logoMode_ = false;
  std::string venderName_;
  std::string venderStyle_;
};

// The program's main window, which dialogs copy and return to: the one the form's application
// names (ui::Application::MainForm), when it is a branded form.
BrandedForm* MainWindow(const ui::Form& form);

// With InstallPath\KRLogo.Bmp present (and readable as a bitmap) the title area shows it, the
// vendor title is hidden and the product line moves to the top left. Otherwise the vendor title
// shows VenderName in the vendor's style.
void BrandMainWindow(BrandedForm& form, const InstallationProfile& profile);
// Applies a style code (VenderStyle) to the vendor title and the product line.
void ApplyVenderStyle(BrandedForm& form, const std::string& style);

// What every dialog does while loading: the main window's product line and caption, its branding,
// then CentreWindow and CentreIcon.
void DressDialog(BrandedForm& dialog);
// The pieces of DressDialog, for a window that keeps its own caption.
void CopySystemLine(BrandedForm& dialog);
void BrandDialog(BrandedForm& dialog);
void CentreWindow(ui::Form& form);
void CentreIcon(BrandedForm& form);

// What every dialog does when it unloads: shows the main window and gives it the focus.
void ReturnToMainWindow(const ui::Form& dialog);

}  // namespace koral
