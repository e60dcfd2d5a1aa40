// Every message box of the suite goes through one replaceable interface, so that tests can
// answer boxes in-process. The real implementation calls MessageBoxA.
#pragma once

#include <windows.h>

#include <string>

namespace koral {

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows a box and returns the button code (IDOK, IDYES, IDNO, ...).
  virtual int Show(const std::string& text, const std::string& caption, UINT flags) = 0;
  // Sounds a beep of the given MessageBeep type.
  virtual void Beep(UINT type) = 0;
};

// The boxes in force; never null. Installing nullptr restores the real boxes.
MessageBoxes& CurrentMessageBoxes();
void InstallMessageBoxes(MessageBoxes* boxes);

// Beeps, then shows the text with the stop icon and one OK button, system-modal.
int ErrorBox(const std::string& text, const std::string& caption);
// Shows the text with one OK button and no icon.
int PlainBox(const std::string& text, const std::string& caption);
// Shows the text with the information icon and one OK button, system-modal.
int InformationBox(const std::string& text, const std::string& caption);
// Shows the text with the exclamation icon and one OK button, system-modal.
int ExclamationBox(const std::string& text, const std::string& caption);
// Shows the text with the warning (exclamation) icon and one OK button.
int WarningBox(const std::string& text, const std::string& caption);
// Shows the text with the question icon and Yes/No, system-modal; extraFlags may add a
// default-button flag such as MB_DEFBUTTON2. Returns IDYES or IDNO.
int QuestionBox(const std::string& text, const std::string& caption, UINT extraFlags = 0);

}  // namespace koral
