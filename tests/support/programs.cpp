#include "tests/support/programs.h"

#include <tlhelp32.h>

#include <algorithm>
#include <vector>

namespace koral::test {

namespace {

// A folder the build hands the tests in the environment (see cmake/koral.cmake).
std::string FolderFromEnvironment(const char* variable) {
  char folder[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableA(variable, folder, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(folder, length) : std::string();
}

}  // namespace

std::string ProgramFolder() { return FolderFromEnvironment("KORAL_PROGRAMS"); }
std::string ToolFolder() { return FolderFromEnvironment("KORAL_TOOLS"); }

void RunningProgram::End() {
  if (Running()) {
    TerminateProcess(process_.get(), 1);
    WaitForSingleObject(process_.get(), 5000);
  }
}

RunningProgram::~RunningProgram() { End(); }

RunningProgram& RunningProgram::operator=(RunningProgram&& other) noexcept {
  if (this != &other) {
    End();
    process_ = std::move(other.process_);
    id_ = other.id_;
    exe_ = std::move(other.exe_);
    capture_ = std::move(other.capture_);
  }
  return *this;
}

// The reading end of a program's output pipe and what came through it so far.
struct RunningProgram::Capture {
  UniqueHandle Read;
  std::string Text;
  // Takes what the pipe holds now, without waiting for more: a program the tested one started
  // may hold the writing end open long after it ended.
  void Drain() {
    DWORD available = 0;
    while (PeekNamedPipe(Read.get(), nullptr, 0, nullptr, &available, nullptr) && available > 0) {
      char buffer[4096];
      DWORD got = 0;
      if (!ReadFile(Read.get(), buffer, std::min<DWORD>(available, sizeof buffer), &got, nullptr) || got == 0) return;
      Text.append(buffer, got);
    }
  }
};

testing::AssertionResult RunningProgram::Start(const std::string& exe, const std::string& arguments,
                                               const std::string& folder) {
  return Launch(exe, arguments, folder, nullptr);
}

testing::AssertionResult RunningProgram::StartCapturing(const std::string& exe, const std::string& arguments,
                                                        const std::string& folder) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  if (!CreatePipe(&read, &write, &inherit, 0))
    return testing::AssertionFailure() << "cannot start " << exe << ": CreatePipe " << ErrorText(GetLastError());
  SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  const UniqueHandle writeEnd(write);
  auto capture = std::make_shared<Capture>();
  capture->Read.reset(read);
  auto started = Launch(exe, arguments, folder, write);
  if (!started) return started;
  capture_ = std::move(capture);
  return started;
}

std::string RunningProgram::ErrorOutput(std::chrono::milliseconds limit) {
  if (!capture_) return {};
  // Drained while waiting: a program whose output fills the pipe would never end otherwise.
  WaitUntil(
      exe_ + " to end, its output read",
      [&] {
        capture_->Drain();
        return !Running();
      },
      limit);
  capture_->Drain();
  return capture_->Text;
}

testing::AssertionResult RunningProgram::Launch(const std::string& exe, const std::string& arguments,
                                                const std::string& folder, HANDLE output) {
  if (folder.empty()) return testing::AssertionFailure() << "cannot start " << exe << ": no folder (KORAL_PROGRAMS or KORAL_TOOLS unset)";
  std::string command = "\"" + folder + "\\" + exe + "\"";
  if (!arguments.empty()) command += " " + arguments;
  std::vector<char> line(command.begin(), command.end());
  line.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (output != nullptr) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = output;
    startup.hStdError = output;
  }
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, output != nullptr, 0, nullptr, folder.c_str(),
                      &startup, &info))
    return testing::AssertionFailure() << "cannot start " << command << ": CreateProcess " << ErrorText(GetLastError());
  CloseHandle(info.hThread);
  process_.reset(info.hProcess);
  id_ = info.dwProcessId;
  exe_ = exe;
  return testing::AssertionSuccess();
}

ProgramExit RunningProgram::WaitForExit(std::chrono::milliseconds limit) {
  if (!process_) return ProgramExit("no program was started");
  const auto ended = WaitUntil(exe_ + " (process " + std::to_string(id_) + ") to end",
                               [&] { return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; }, limit);
  if (!ended) return ProgramExit(ended.message());
  DWORD code = 0;
  if (!GetExitCodeProcess(process_.get(), &code))
    return ProgramExit(exe_ + " ended, but its exit code is unreadable: " + ErrorText(GetLastError()));
  return code;
}

void PrintTo(const ProgramExit& exit, std::ostream* out) {
  if (exit) *out << "exit code " << *exit;
  else *out << "no exit code: " << exit.Why();
}

bool RunningProgram::Running() const {
  return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::vector<DWORD> ProcessesOf(const char* exe) {
  std::vector<DWORD> ids;
  const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry))
    if (lstrcmpiA(entry.szExeFile, exe) == 0) ids.push_back(entry.th32ProcessID);
  return ids;
}

HWND FindTopWindow(const std::string& caption, const char* windowClass) {
  return FindWindowA(windowClass, caption.c_str());
}

HWND WaitForTopWindow(const std::string& caption, const char* windowClass, std::chrono::milliseconds limit,
                      std::source_location caller) {
  HWND found = nullptr;
  const std::string what = std::string(windowClass ? "a window of class " + std::string(windowClass) : "a window") +
                           " captioned \"" + caption + "\"";
  const auto came = WaitUntil(what, [&] { return (found = FindTopWindow(caption, windowClass)) != nullptr; }, limit);
  FailAt(caller, came);
  return found;
}

int CountProcessWindows(DWORD processId, const std::string& caption) {
  struct Search {
    DWORD Process;
    const std::string* Caption;
    int Count = 0;
  } search{processId, &caption};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s.Process && WindowText(window) == *s.Caption) ++s.Count;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Count;
}

std::optional<MessageBoxView> WaitForMessageBox(const std::string& caption, std::chrono::milliseconds limit,
                                                std::source_location caller) {
  const HWND box = WaitForTopWindow(caption, "#32770", limit, caller);
  if (!box) return std::nullopt;
  char text[1024] = {};
  // The text control appears with the box; wait until it is readable.
  FailAt(caller, WaitUntil("the text of the message box \"" + caption + "\"",
                           [&] { return GetDlgItemTextA(box, 0xFFFF, text, sizeof text) > 0; },
                           std::chrono::milliseconds(5000)));
  return MessageBoxView{box, text};
}

void AnswerMessageBox(HWND box, int button) {
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return text;
}

}  // namespace koral::test

namespace koral::test {

HWND FindVisibleWindow(const std::string& caption) {
  struct Search {
    const std::string* Caption;
    HWND Found = nullptr;
  } search{&caption};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(param);
        char cls[16] = {};
        GetClassNameA(window, cls, sizeof cls);
        if (IsWindowVisible(window) && lstrcmpA(cls, "#32770") != 0 && WindowText(window) == *s.Caption) {
          s.Found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

HWND WaitForVisibleWindow(const std::string& caption, std::chrono::milliseconds limit, std::source_location caller) {
  HWND found = nullptr;
  const auto came = WaitUntil("a visible window captioned \"" + caption + "\"",
                              [&] { return (found = FindVisibleWindow(caption)) != nullptr; }, limit);
  FailAt(caller, came);
  return found;
}

std::string ControlText(HWND control) {
  char text[512] = {};
  DWORD_PTR got = 0;
  SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 5000, &got);
  return text;
}

}  // namespace koral::test

#include "ui/names.h"

namespace koral::test {

HWND FindForm(DWORD process, const std::string& name) {
  struct Search {
    DWORD Process;
    const std::string* Name;
    HWND Found = nullptr;
  } search{process, &name};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != s.Process || !IsWindowVisible(window) || ui::NameOf(window) != *s.Name) return TRUE;
        s.Found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

}  // namespace koral::test
