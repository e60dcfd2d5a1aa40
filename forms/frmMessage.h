// The small progress message window of the setup tools: the program's icon beside a text, shown
// without waiting while the program works on. Its height follows the text.
#pragma once

#include <string>

#include "ui/controls.h"
#include "ui/form.h"

namespace koral {

class frmMessage : public ui::Form {
 public:
  explicit frmMessage(ui::Application& app);

  ui::Image imgMsg{this, "imgMsg"};
  ui::Label lblMsg{this, "lblMsg"};

  // The width of the inner area; the height is set from the text.
  static constexpr int kInnerWidth = 5340;

  // Shows the text with the caption (the program's title), sized, placed and painted at once.
  void ShowMessage(const std::string& text, const std::string& caption);
  // Unloads the window; the close box alone does not, as the work it reports goes on.
  void Close();

 private:
  void Design() override;
  void Form_Unload(bool& cancel) override;

  bool closing_ = false;
};


}  // namespace koral
