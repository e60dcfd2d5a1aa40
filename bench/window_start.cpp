// How quickly the suite's windows appear, and how much memory the programs take, against the
// minimal window program (minimal_window.exe) measured in the same run:
//   - each windowed program, from process creation to its first visible window, and its peak
//     working set once that window shows;
//   - each dialog the control panel's main window opens, from the button press to the dialog
//     visible, against the minimal program opening a plain window with the same controls;
//   - the control panel's start by phase, from the time stamps it writes when KORAL_PHASE_FILE
//     names a file.
// It needs the test prefix with the driver and the development profile (scripts/test-prefix,
// scripts/dev-profile); the setup finisher is left out, since every run of it changes the
// installation and restarts Windows.
//   scripts/wine-run build/windows/bench/window_start.exe [starts]
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <optional>
#include <vector>

#include "bench/figures.h"
#include "common/win/driver_link.h"
#include "common/win/handles.h"
#include "common/win/phase_marks.h"
#include "ui/names.h"

namespace {

using namespace koral;
using bench::BuildFolder;
using bench::Figure;
using bench::Median;

constexpr DWORD kLimitMs = 20000;

double NowMs() {
  static const double perMs = [] {
    LARGE_INTEGER f{};
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / perMs;
}

double TicksToMs(long long ticks) {
  LARGE_INTEGER f{};
  QueryPerformanceFrequency(&f);
  return static_cast<double>(ticks) * 1000.0 / static_cast<double>(f.QuadPart);
}

bool IsMessageBox(HWND window) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  return std::string(name) == "#32770";
}

// A visible top-level window of the process other than `except`; message boxes count apart.
HWND VisibleWindowOf(DWORD process, HWND except, bool* messageBox = nullptr) {
  struct Search {
    DWORD Process;
    HWND Except, Found;
    bool Box;
  } search{process, except, nullptr, false};
  EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto* s = reinterpret_cast<Search*>(context);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != s->Process || window == s->Except || !IsWindowVisible(window)) return TRUE;
        if (IsMessageBox(window)) {
          s->Box = true;
          return TRUE;
        }
        s->Found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  if (messageBox) *messageBox = search.Box;
  return search.Found;
}

// The dialog's controls by kind, as the minimal program takes them (B12C4S9), and their number.
// A drop-down list's own field is part of it; every window of a class of our own (labels,
// frames, shapes, pictures) counts as a static text.
struct Controls {
  std::string Kinds;
  int Count = 0;
};

Controls ControlsOf(HWND window) {
  std::map<char, int> kinds;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM context) -> BOOL {
        char name[64] = {};
        GetClassNameA(GetParent(child), name, sizeof name);
        if (lstrcmpiA(name, "ComboBox") == 0) return TRUE;
        GetClassNameA(child, name, sizeof name);
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        char kind = 'S';
        if (lstrcmpiA(name, "Button") == 0) kind = 'B';
        if (lstrcmpiA(name, "ScrollBar") == 0) kind = 'H';
        if (lstrcmpiA(name, "ComboBox") == 0) kind = (style & 3) == CBS_DROPDOWNLIST ? 'L' : 'C';
        ++(*reinterpret_cast<std::map<char, int>*>(context))[kind];
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&kinds));
  Controls controls;
  for (const auto& [kind, count] : kinds) {
    controls.Kinds += kind + std::to_string(count);
    controls.Count += count;
  }
  return controls;
}

double PeakWorkingSetKb(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) return 0;
  return static_cast<double>(counters.PeakWorkingSetSize) / 1024.0;
}

// Polls with a short sleep, so that the measuring does not take the processor from the program.
template <typename Condition>
bool PollUntil(Condition condition, DWORD limitMs = kLimitMs) {
  const double end = NowMs() + limitMs;
  while (!condition()) {
    if (NowMs() > end) return false;
    Sleep(1);
  }
  return true;
}

// One started program: its process, when it was created and its first visible window.
class Started {
 public:
  bool Start(const std::string& path, const std::string& arguments) {
    std::string command = "\"" + path + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    started_ = NowMs();
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
      return false;
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
    return true;
  }

  // Milliseconds from creation to the first visible window; negative when none came (a message
  // box, or the program ended).
  double WaitForWindow() {
    bool box = false;
    const bool shown = PollUntil([&] {
      window_ = VisibleWindowOf(id_, nullptr, &box);
      return window_ || box || WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0;
    });
    if (!shown || !window_) return -1;
    return NowMs() - started_;
  }

  // Milliseconds from pressing the named button of the window to another visible window.
  double PressAndWait(const char* button, HWND* dialog) {
    const HWND control = button ? ui::FindNamedChild(window_, button) : GetWindow(window_, GW_CHILD);
    if (!control) return -1;
    const double pressed = NowMs();
    PostMessageA(control, BM_CLICK, 0, 0);
    if (!PollUntil([&] { return (*dialog = VisibleWindowOf(id_, window_)) != nullptr; })) return -1;
    return NowMs() - pressed;
  }

  // Closes a dialog and waits for the main window to come back.
  bool CloseDialog(HWND dialog) {
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    return PollUntil([&] { return IsWindowVisible(window_) && !IsWindowVisible(dialog); });
  }

  double PeakKb() const { return PeakWorkingSetKb(process_.get()); }
  HWND Window() const { return window_; }
  double StartedAt() const { return started_; }

  // Sends the window its ending message (or lets it end by itself) and waits; ends it otherwise.
  void End(UINT message, WPARAM wParam) {
    if (message && window_) PostMessageA(window_, message, wParam, 0);
    if (WaitForSingleObject(process_.get(), kLimitMs) != WAIT_OBJECT_0) {
      std::fprintf(stderr, "a program did not end; ended it\n");
      TerminateProcess(process_.get(), 1);
      WaitForSingleObject(process_.get(), kLimitMs);
    }
  }

 private:
  UniqueHandle process_;
  DWORD id_ = 0;
  double started_ = 0;
  HWND window_ = nullptr;
};

struct Program {
  const char* Label;
  std::string Path, Arguments;
  UINT EndMessage;  // 0: it ends by itself
  WPARAM EndParameter;
};

struct StartFigures {
  std::vector<double> Ms, PeakKb;
};

// Phases of the control panel's start, each from the mark before it (the first from creation).
using Phases = std::map<std::string, std::vector<double>>;

void ReadPhases(const std::string& file, double createdMs, double visibleMs, Phases& phases,
                std::vector<std::string>& order) {
  std::ifstream in(file);
  std::string name;
  long long ticks = 0;
  double previous = createdMs;
  std::string previousName = "process created";
  std::map<std::string, double> run;  // a phase passed more than once counts whole
  const auto add = [&](const std::string& phase, double ms) {
    if (phases.find(phase) == phases.end() && run.find(phase) == run.end()) order.push_back(phase);
    run[phase] += ms;
  };
  while (in >> name >> ticks) {
    const double at = TicksToMs(ticks);
    add(previousName + " -> " + name, at - previous);
    previous = at;
    previousName = name;
  }
  add(previousName + " -> window found visible", createdMs + visibleMs - previous);
  for (const auto& [phase, ms] : run) phases[phase].push_back(ms);
}

// One start of the program: the time to its window and its peak working set then.
bool MeasureStart(const Program& program, StartFigures& figures, const std::string& phaseFile = {},
                  Phases* phases = nullptr, std::vector<std::string>* order = nullptr) {
  if (!phaseFile.empty()) DeleteFileA(phaseFile.c_str());
  Started started;
  if (!started.Start(program.Path, program.Arguments)) {
    std::fprintf(stderr, "%s did not start\n", program.Path.c_str());
    return false;
  }
  const double ms = started.WaitForWindow();
  const double peak = started.PeakKb();
  started.End(program.EndMessage, program.EndParameter);
  if (ms < 0) {
    std::fprintf(stderr, "%s showed no window (a message box?)\n", program.Label);
    return false;
  }
  figures.Ms.push_back(ms);
  figures.PeakKb.push_back(peak);
  if (phases) ReadPhases(phaseFile, started.StartedAt(), ms, *phases, *order);
  return true;
}

struct DialogFigures {
  const char* Label;
  const char* Button;
  bool Hidden;  // the PS/2 main window keeps this button hidden: shown and enabled from here
  std::vector<double> Ms, FloorMs;
  Controls Made;
};

// The minimal program opening a plain window with the dialog's controls.
double FloorDialog(const std::string& minimal, const Controls& controls) {
  Started started;
  if (!started.Start(minimal, controls.Kinds) || started.WaitForWindow() < 0) return -1;
  HWND dialog = nullptr;
  const double ms = started.PressAndWait(nullptr, &dialog);
  if (ms >= 0) started.CloseDialog(dialog);
  started.End(WM_CLOSE, 0);
  return ms;
}

// Opens each dialog `runs` times in one control panel, closing it in between; after each opening
// the minimal program opens its plain window with as many controls.
bool MeasureDialogs(const std::string& panel, const std::string& minimal, int runs,
                    std::vector<DialogFigures>& dialogs) {
  Started started;
  if (!started.Start(panel, "") || started.WaitForWindow() < 0) return false;
  bool ok = true;
  for (DialogFigures& d : dialogs) {
    if (d.Hidden) {
      if (const HWND button = ui::FindNamedChild(started.Window(), d.Button)) {
        ShowWindow(button, SW_SHOWNA);
        EnableWindow(button, TRUE);
      }
    }
    for (int run = 0; run < runs && ok; ++run) {
      HWND dialog = nullptr;
      const double ms = started.PressAndWait(d.Button, &dialog);
      if (ms < 0) {
        std::fprintf(stderr, "the %s did not open\n", d.Label);
        ok = false;
        break;
      }
      d.Ms.push_back(ms);
      d.Made = ControlsOf(dialog);
      ok = started.CloseDialog(dialog);
      const double floor = FloorDialog(minimal, d.Made);
      if (floor < 0) ok = false;
      d.FloorMs.push_back(floor);
    }
  }
  started.End(WM_CLOSE, 0);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(3, std::atoi(argv[1])) : 15;
  device::DriverSession driver;
  if (!driver.Open()) {
    std::fprintf(stderr, "cannot open the driver; is it installed and started in this prefix?\n");
    return 1;
  }
  const std::optional<ParamBlock> block = driver.ReadBlock();
  driver.Close();
  if (!block || block->DetectedPort == 0) {
    std::fprintf(stderr, "the driver reports no controller: the programs would stop at their message\n");
    return 1;
  }

  const std::string minimal = BuildFolder("bench\\minimal_window.exe");
  const std::string panel = BuildFolder("bin\\KORALpcp.exe");
  const Program floor{"minimal window program", minimal, "", WM_CLOSE, 0};
  const std::vector<Program> programs = {
      {"control panel KORALpcp", panel, "", WM_CLOSE, 0},
      {"startup program KORALpao, splash", BuildFolder("bin\\KORALpao.exe"), "", 0, 0},
      {"startup program KORALpao /SDC", BuildFolder("bin\\KORALpao.exe"), "/SDC", WM_CLOSE, 0},
      {"right-button tool KORALprb", BuildFolder("bin\\KORALprb.exe"), "", WM_USER, device::kQuitTool},
      {"uninstaller KORALpde (its question)", BuildFolder("bin\\KORALpde.exe"), "", WM_CLOSE, 0},
  };

  // The panel's main window by kinds of child windows, for a second floor: a plain main window
  // with as many, which tells the cost of the design's real controls from the rest of the start.
  Controls panelControls;
  {
    Started probe;
    if (!probe.Start(panel, "") || probe.WaitForWindow() < 0) {
      std::fprintf(stderr, "the control panel showed no window\n");
      return 1;
    }
    panelControls = ControlsOf(probe.Window());
    probe.End(WM_CLOSE, 0);
  }
  const Program sameControls{"plain window with the panel's controls", minimal, "/main " + panelControls.Kinds,
                             WM_CLOSE, 0};

  std::printf("window start, %d starts each (medians); process creation to the first visible window\n", runs);
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string phaseFile = std::string(temp) + "koral-phases.txt";
  StartFigures floorFigures, sameControlsFigures;
  std::vector<StartFigures> figures(programs.size());
  Phases phases;
  std::vector<std::string> order;
  // Rounds of one start each, the floor first, so that a change in the machine's load falls on
  // every figure alike.
  for (int run = 0; run < runs; ++run) {
    if (!MeasureStart(floor, floorFigures) || !MeasureStart(sameControls, sameControlsFigures)) return 1;
    for (size_t i = 0; i < programs.size(); ++i) {
      const bool panelRun = i == 0;
      if (panelRun) SetEnvironmentVariableA(kPhaseFileVariable, phaseFile.c_str());
      const bool ok = panelRun ? MeasureStart(programs[i], figures[i], phaseFile, &phases, &order)
                               : MeasureStart(programs[i], figures[i]);
      if (panelRun) SetEnvironmentVariableA(kPhaseFileVariable, nullptr);
      if (!ok) return 1;
    }
  }
  DeleteFileA(phaseFile.c_str());

  const double floorMs = Median(floorFigures.Ms);
  for (size_t i = 0; i < programs.size(); ++i) {
    const std::string what = std::string(programs[i].Label) + " start";
    Figure(what.c_str(), Median(figures[i].Ms), "ms", "minimal window program start", floorMs);
  }
  const std::string against = "plain window, same " + std::to_string(panelControls.Count) + " controls, start";
  Figure("control panel KORALpcp start", Median(figures[0].Ms), "ms", against.c_str(),
         Median(sameControlsFigures.Ms));
  std::printf("control panel start by phase (medians; each from the mark before it)\n");
  for (const std::string& phase : order) std::printf("  %-56s %8.2f ms\n", phase.c_str(), Median(phases[phase]));

  std::vector<DialogFigures> dialogs = {
      {"virtual button dialog", "cmdVirtualButton", false, {}, {}, {}},
      {"feedback sound dialog", "cmdFeedbackSound", false, {}, {}, {}},
      {"mouse speed dialog", "cmdMouseSpeed", false, {}, {}, {}},
      {"support (or about) window", "cmdSupport", false, {}, {}, {}},
      {"sensitivity dialog", "cmdSensivitity", true, {}, {}, {}},
      {"power save dialog", "cmdSleepTime", true, {}, {}, {}},
      {"serial port window", "cmdSerialPort", true, {}, {}, {}},
  };
  if (!MeasureDialogs(panel, minimal, runs, dialogs)) return 1;
  for (const DialogFigures& d : dialogs) {
    const std::string what = std::string(d.Label) + " open";
    const std::string against = "plain window, same " + std::to_string(d.Made.Count) + " controls, open";
    Figure(what.c_str(), Median(d.Ms), "ms", against.c_str(), Median(d.FloorMs));
  }

  const double floorKb = Median(floorFigures.PeakKb);
  for (size_t i = 0; i < programs.size(); ++i) {
    const std::string what = std::string(programs[i].Label) + " peak WS";
    Figure(what.c_str(), Median(figures[i].PeakKb), "KB", "minimal window program peak WS", floorKb);
  }
  return 0;
}
