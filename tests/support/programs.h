// Starting the suite's real programs from a test and driving their windows as a user would.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <ostream>
#include <source_location>
#include <string>
#include <vector>

#include "common/win/handles.h"
#include "tests/support/wait.h"

namespace koral::test {

// Folders of the built programs and of the tools and stand-ins (Windows paths), as the build
// passes them in KORAL_PROGRAMS and KORAL_TOOLS; empty when the test was started without them.
std::string ProgramFolder();
std::string ToolFolder();

// A program's end as a wait saw it: its exit code, or none, and then why (still running at the
// limit, or never started) for the assertion on it.
class ProgramExit : public std::optional<DWORD> {
 public:
  ProgramExit(DWORD code) : std::optional<DWORD>(code) {}
  explicit ProgramExit(std::string why) : why_(std::move(why)) {}
  operator testing::AssertionResult() const {
    return has_value() ? testing::AssertionSuccess() : testing::AssertionFailure() << why_;
  }
  const std::string& Why() const { return why_; }

 private:
  std::string why_;
};
void PrintTo(const ProgramExit& exit, std::ostream* out);

// A started program; ended on destruction if it is still running.
class RunningProgram {
 public:
  RunningProgram() = default;
  RunningProgram(RunningProgram&&) = default;
  // Ends the program this one held before taking the other's: `program = {}` ends it.
  RunningProgram& operator=(RunningProgram&& other) noexcept;
  ~RunningProgram();

  // Starts folder\exe with the given arguments; when it cannot be started, the result gives the
  // command line and the system's error code.
  testing::AssertionResult Start(const std::string& exe, const std::string& arguments = {},
                                 const std::string& folder = ProgramFolder());
  // Starts as Start does, with the program's standard error going into a pipe that ErrorOutput
  // reads (its standard output goes there too).
  testing::AssertionResult StartCapturing(const std::string& exe, const std::string& arguments = {},
                                          const std::string& folder = ProgramFolder());
  // Everything the program wrote there, once it has ended (waiting for that within the limit).
  std::string ErrorOutput(std::chrono::milliseconds limit = kDefaultWait);
  // The exit code once the program has ended within the limit.
  ProgramExit WaitForExit(std::chrono::milliseconds limit = kDefaultWait);
  bool Running() const;
  DWORD Id() const { return id_; }

 private:
  struct Capture;
  void End();
  testing::AssertionResult Launch(const std::string& exe, const std::string& arguments, const std::string& folder,
                                  HANDLE output);

  UniqueHandle process_;
  DWORD id_ = 0;
  std::string exe_;
  std::shared_ptr<Capture> capture_;
};

// Processes of the prefix that run the program with this file name (any case).
std::vector<DWORD> ProcessesOf(const char* exe);

// The waits for windows and message boxes below expect them to come: one that does not records a
// failure at the caller's line naming what it waited for.

// Top-level windows by exact caption (optionally by class), in any process of the prefix.
HWND FindTopWindow(const std::string& caption, const char* windowClass = nullptr);
HWND WaitForTopWindow(const std::string& caption, const char* windowClass = nullptr,
                      std::chrono::milliseconds limit = kDefaultWait,
                      std::source_location caller = std::source_location::current());
// Top-level windows with the caption that belong to the given process.
int CountProcessWindows(DWORD processId, const std::string& caption);

// A message box shown by another process.
struct MessageBoxView {
  HWND Box = nullptr;
  std::string Text;
};
std::optional<MessageBoxView> WaitForMessageBox(const std::string& caption,
                                                std::chrono::milliseconds limit = kDefaultWait,
                                                std::source_location caller = std::source_location::current());
// Presses IDOK, IDYES, IDNO... on the box.
void AnswerMessageBox(HWND box, int button);

std::string WindowText(HWND window);

}  // namespace koral::test

namespace koral::test {

// A visible top-level window with the caption that is not a message box; hidden windows of a
// program that is still starting (or failing) do not count.
HWND FindVisibleWindow(const std::string& caption);
HWND WaitForVisibleWindow(const std::string& caption, std::chrono::milliseconds limit = kDefaultWait,
                          std::source_location caller = std::source_location::current());
// Text of a control in another process (works for combo boxes too, unlike GetWindowText).
std::string ControlText(HWND control);

}  // namespace koral::test

namespace koral::test {

// A shown top-level window of the process carrying the form name (see ui/names.h).
HWND FindForm(DWORD process, const std::string& name);

}  // namespace koral::test
