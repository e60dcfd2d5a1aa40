#include "tests/support/wait.h"

namespace koral::test {

namespace {

std::string NotWithin(const std::string& what, std::chrono::milliseconds limit, DWORD lastError) {
  return "waited " + DurationText(limit) + " for " + (what.empty() ? std::string("the condition") : what) +
         " in vain; last " + ErrorText(lastError);
}

}  // namespace

testing::AssertionResult WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  return WaitUntil(std::string(), condition, limit);
}

testing::AssertionResult WaitUntil(const std::string& what, const std::function<bool()>& condition,
                                   std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    const bool held = condition();
    const DWORD lastError = GetLastError();
    if (held) return testing::AssertionSuccess();
    if (std::chrono::steady_clock::now() >= deadline) return testing::AssertionFailure() << NotWithin(what, limit, lastError);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

std::string ErrorText(DWORD error) {
  char text[256] = {};
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                sizeof text, nullptr);
  while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' ')) --length;
  std::string result = "error " + std::to_string(error);
  if (length > 0) result += " (" + std::string(text, length) + ")";
  return result;
}

std::string DurationText(std::chrono::milliseconds limit) {
  const auto ms = limit.count();
  return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

void FailAt(const std::source_location& caller, const testing::AssertionResult& wait) {
  if (!wait) ADD_FAILURE_AT(caller.file_name(), static_cast<int>(caller.line())) << wait.message();
}

}  // namespace koral::test
