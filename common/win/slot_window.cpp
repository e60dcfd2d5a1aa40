#include "common/win/slot_window.h"

#include <vector>

#include "common/core/trusted_folders.h"
#include "common/win/handles.h"

namespace koral {
namespace {

std::string ClassOf(HWND window) {
  char name[256] = {};
  const int length = GetClassNameA(window, name, sizeof name);
  return std::string(name, static_cast<size_t>(length > 0 ? length : 0));
}

// For another process's window GetWindowText reads the caption the system keeps; it sends
// nothing, so a hung window cannot hold it.
std::string CaptionOf(HWND window) {
  char caption[256] = {};
  const int length = GetWindowTextA(window, caption, sizeof caption);
  return std::string(caption, static_cast<size_t>(length > 0 ? length : 0));
}

// The long form of a path, so that a short name ("PROGRA~1") compares equal to its long one.
std::string LongPath(const std::string& path) {
  std::vector<char> buffer(MAX_PATH);
  DWORD length = GetLongPathNameA(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
  if (length >= buffer.size()) {
    buffer.resize(length + 1);
    length = GetLongPathNameA(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
  }
  return length == 0 || length >= buffer.size() ? path : std::string(buffer.data(), length);
}

bool SameSession(DWORD process) {
  DWORD theirs = 0, ours = 0;
  return ProcessIdToSessionId(process, &theirs) && ProcessIdToSessionId(GetCurrentProcessId(), &ours) &&
         theirs == ours;
}

}  // namespace

HWND SlotWindow(int32_t handle) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(handle)); }

std::string WindowProgramPath(HWND window) {
  DWORD process = 0;
  if (!GetWindowThreadProcessId(window, &process) || process == 0) return {};
  const UniqueHandle handle(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
  if (!handle) return {};
  std::vector<char> path(32768);
  DWORD size = static_cast<DWORD>(path.size());
  if (!QueryFullProcessImageNameA(handle.get(), 0, path.data(), &size)) return {};
  return std::string(path.data(), size);
}

bool IsSuiteSlotWindow(HWND window, const SlotWindowRule& rule, const std::string& installFolder) {
  if (window == nullptr || !IsWindow(window) || installFolder.empty()) return false;
  if (rule.Class != nullptr && ClassOf(window) != rule.Class) return false;
  if (rule.Caption != nullptr && CaptionOf(window) != rule.Caption) return false;
  DWORD process = 0;
  if (!GetWindowThreadProcessId(window, &process) || !SameSession(process)) return false;
  const std::string image = WindowProgramPath(window);
  if (image.empty()) return false;
  const std::string expected = installFolder + "\\" + rule.Program;
  return SamePath(image, expected) || SamePath(LongPath(image), LongPath(expected));
}

bool SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_NORMAL, timeoutMs, &result) !=
         0;
}

}  // namespace koral
