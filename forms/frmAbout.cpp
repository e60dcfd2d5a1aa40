#include "forms/frmAbout.h"

namespace koral {
namespace {

constexpr char kCaption[] = " About";
constexpr int kLineHeight = 255;

}  // namespace

std::string CopyrightNotice(const std::string& vendor) {
  std::string line = "Copyright (C) 2026";
  if (!vendor.empty()) line += " " + vendor;
  return line + ". All rights reserved.";
}

frmAbout::frmAbout(ui::Application& app) : InformationDialog(app, "frmAbout") {}

void frmAbout::Design() {
  DesignFurniture(kCaption, kLineHeight);
  lblCopyright.Create(*this, {kContentLeft, kContentTop, kContentRight - kContentLeft, kLineHeight});
  lblCopyright.Alignment(ui::Alignment::Centre);
}

// The about window copies the version line and the branding like every dialog, but keeps its
// own caption: DressDialog without the caption. The vendor is the one the main window shows.
void frmAbout::Form_Load() {
  CopySystemLine(*this);
  const BrandedForm* main = MainWindow(*this);
  lblCopyright.Caption(CopyrightNotice(main ? main->VenderName() : ""));
  BrandDialog(*this);
  CentreWindow(*this);
  CentreIcon(*this);
}

}  // namespace koral
