#include "forms/dialog_form.h"

namespace koral {
namespace {

constexpr int kWidth = 6645;
constexpr int kMargin = 120;  // between the window's edge and Shape1
constexpr int kRowGap = 240;  // between the own controls and the buttons
constexpr int kBottom = 360;  // below the buttons

}  // namespace

int DialogForm::DesignFrame(const std::string& caption, int contentHeight) {
  const int buttonsTop = kContentTop + contentHeight + kRowGap;
  const int height = buttonsTop + kButtonHeight + kBottom;
  Caption(caption);
  BorderStyle(ui::FormBorder::FixedSingle);
  ClientSize(kWidth, height);

  // The title area stands where the main window has it, so DressDialog's copies fit.
  DesignTitleArea();

  Shape1.Create(*this, {kMargin, kMargin, kWidth - 2 * kMargin, height - 2 * kMargin});
  Shape1.BorderColor(ui::kGrey);
  return buttonsTop;
}

ui::Rect DialogForm::ButtonPlace(int rowTop, int fromRight) {
  return {kContentRight - kButtonWidth - fromRight * (kButtonWidth + kButtonGap), rowTop, kButtonWidth, kButtonHeight};
}

InformationDialog::InformationDialog(ui::Application& app, std::string name) : DialogForm(app, std::move(name)) {
  cmdOK.Click = Handler(&InformationDialog::cmdOK_Click);
}

void InformationDialog::DesignFurniture(const std::string& caption, int contentHeight) {
  const int buttonsTop = DesignFrame(caption, contentHeight);
  cmdOK.Create(*this, ButtonPlace(buttonsTop, 0), "&OK");
  cmdOK.Default(true);
}

void InformationDialog::Form_Unload(bool&) { ReturnToMainWindow(*this); }

void InformationDialog::cmdOK_Click() { Unload(); }

}  // namespace koral
