#include "forms/frmAbout.h"

#include "common/win/profile.h"

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

frmAbout::frmAbout() : InformationDialog("frmAbout") {}

void frmAbout::Design() {
  DesignFurniture(kCaption, kLineHeight);
  lblCopyright.Create(*this, {kContentLeft, kContentTop, kContentRight - kContentLeft, kLineHeight});
  lblCopyright.Alignment(ui::Alignment::Centre);
}

// The about window copies the version line and the branding like every dialog, but keeps its
// own caption: DressDialog without the caption.
void frmAbout::Form_Load() {
  CopySystemLine(*this);
  lblCopyright.Caption(CopyrightNotice(Profile().VenderName));
  BrandDialog(*this);
  CentreWindow(*this);
  CentreIcon(*this);
}

}  // namespace koral
