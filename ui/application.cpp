#include "ui/application.h"

#include <algorithm>
#include <chrono>

#include "ui/form.h"

namespace koral::ui {

void Application::Loaded(Form& form) {
  loaded_.push_back(&form);
  ending_ = false;
}

void Application::Unloaded(Form& form) {
  loaded_.erase(std::remove(loaded_.begin(), loaded_.end(), &form), loaded_.end());
  if (activeForm_ == &form) activeForm_ = nullptr;
  if (loaded_.empty()) {
    ending_ = true;
    PostQuitMessage(0);
  }
}

Form* Application::FormOf(HWND window) const {
  for (Form* form : loaded_)
    if (form->hwnd() == window) return form;
  return nullptr;
}

void Application::Route(MSG& message) const {
  const HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (root && Form::FromWindow(root) && IsDialogMessageA(root, &message)) return;
  TranslateMessage(&message);
  DispatchMessageA(&message);
}

int Application::Run() {
  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) Route(message);
  return static_cast<int>(message.wParam);
}

bool Application::DoEvents() {
  MSG message{};
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));  // for the loop that owns the program
      ending_ = true;
      break;
    }
    Route(message);
  }
  return !ending_;
}

// Between looks at the window messages the program sleeps until a message arrives or the time is up.
void Application::Pause(int seconds) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end = Clock::now() + std::chrono::seconds(seconds);
  while (DoEvents()) {
    const Clock::time_point now = Clock::now();
    if (now >= end) return;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - now).count();
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

void Application::EndProgram() {
  ending_ = true;
  for (Form* form : std::vector<Form*>(loaded_)) form->Destroy();
  PostQuitMessage(0);
}

}  // namespace koral::ui
