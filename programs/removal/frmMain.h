// The uninstaller's main window: the warning and the question whether to remove the touchscreen
// software, with No as the answer to Enter and Esc. The icon opens the about window.
#pragma once

#include "common/win/profile.h"
#include "common/win/trusted_folders.h"
#include "forms/branding.h"
#include "forms/frmAbout.h"
#include "forms/frmMessage.h"
#include "ui/controls.h"

namespace koral::removal {

class frmMain : public BrandedForm {
 public:
  // The removal acts only in the `trusted` folders.
  frmMain(ui::Application& app, SettingsStore& store, TrustedFolders trusted);

  struct Dialogs {
    explicit Dialogs(ui::Application& app) : About(app), Progress(app) {}
    frmAbout About;
    frmMessage Progress;  // while the removal works
  } dialogs;

  ui::Shape shpRemoval{this, "shpRemoval"};
  ui::Image imgRemoval{this, "imgRemoval"};
  ui::Label lblText{this, "lblText"};
  ui::Label lblAsk{this, "lblAsk"};
  ui::CommandButton cmdYes{this, "cmdYes"};
  ui::CommandButton cmdNo{this, "cmdNo"};
  // The etched separator above the buttons: a shadow line with a highlight line under it.
  ui::Shape linShadow{this, "linShadow"};
  ui::Shape linHighlight{this, "linHighlight"};

 private:
  void Design() override;
  void Form_Load() override;
  void Form_Activate() override;

  void cmdYes_Click();
  void cmdNo_Click();
  void imgIcon_DblClick();

  // Widens the window for a long caption, centres the frame and the buttons, draws the separator.
  void LayOut();
  // The width of a text in the window's font, in twips.
  int TextWidth(const std::string& text) const;

  SettingsStore& store_;
  InstallationProfile profile_;
  TrustedFolders trusted_;
  bool focusPlaced_ = false;
};

}  // namespace koral::removal
