#include "common/win/message_box.h"

namespace koral {
namespace {

class SystemMessageBoxes final : public MessageBoxes {
 public:
  int Show(const std::string& text, const std::string& caption, UINT flags) override {
    return MessageBoxA(nullptr, text.c_str(), caption.c_str(), flags);
  }
  void Beep(UINT type) override { MessageBeep(type); }
};

SystemMessageBoxes g_systemBoxes;
MessageBoxes* g_boxes = &g_systemBoxes;

}  // namespace

MessageBoxes& CurrentMessageBoxes() { return *g_boxes; }

void InstallMessageBoxes(MessageBoxes* boxes) { g_boxes = boxes ? boxes : &g_systemBoxes; }

int ErrorBox(const std::string& text, const std::string& caption) {
  g_boxes->Beep(MB_OK);
  return g_boxes->Show(text, caption, MB_OK | MB_ICONSTOP | MB_SYSTEMMODAL);
}

int PlainBox(const std::string& text, const std::string& caption) {
  return g_boxes->Show(text, caption, MB_OK);
}

int InformationBox(const std::string& text, const std::string& caption) {
  return g_boxes->Show(text, caption, MB_OK | MB_ICONINFORMATION | MB_SYSTEMMODAL);
}

int ExclamationBox(const std::string& text, const std::string& caption) {
  return g_boxes->Show(text, caption, MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
}

int WarningBox(const std::string& text, const std::string& caption) {
  return g_boxes->Show(text, caption, MB_OK | MB_ICONEXCLAMATION);
}

int QuestionBox(const std::string& text, const std::string& caption, UINT extraFlags) {
  return g_boxes->Show(text, caption, MB_YESNO | MB_ICONQUESTION | MB_SYSTEMMODAL | extraFlags);
}

}  // namespace koral
