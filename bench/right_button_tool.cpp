// The right-button tool against the substitute driver: the processor time its thread takes
// while idle and while armed (polling its slot as fast as its message processing allows), how
// many slot reads a second that is, and the time from the driver's right click (0xFE040) to the
// button being visible again. Each figure stands beside what it is measured against in the
// same run.
//
// The tool's window runs in this process on the main thread, as in the tool; a second thread
// measures (processor time of another process is not reliable under Wine, of another thread is)
// and plays the driver through the simulation codes.
//   scripts/wine-run build/windows/bench/right_button_tool.exe [seconds] [clicks]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "bench/figures.h"
#include "common/win/driver_link.h"
#include "common/win/handles.h"
#include "common/win/right_button.h"
#include "common/win/trusted_folders.h"
#include "programs/rbtool/frmMain.h"
#include "tools/sim_client.h"
#include "ui/form.h"
#include "ui/names.h"

namespace {

using namespace koral;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct Summary {
  double median, low, high;
};

Summary Summarise(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return {values[values.size() / 2], values.front(), values.back()};
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }
double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Processor time (user and kernel) of a thread, in milliseconds.
double ProcessorMs(HANDLE thread) {
  FILETIME created, ended, kernel, user;
  if (!GetThreadTimes(thread, &created, &ended, &kernel, &user)) return 0;
  const auto ms = [](const FILETIME& t) {
    return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4;
  };
  return ms(kernel) + ms(user);
}

template <typename Condition>
bool WaitFor(Condition condition, Clock::duration limit = 10s) {
  for (const auto end = Clock::now() + limit; Clock::now() < end; std::this_thread::yield())
    if (condition()) return true;
  return false;
}

struct Results {
  double waiting = -1, idle = -1, hidden = -1, armed = -1, bare = -1;
  double armedReads = 0, bareReads = 0;
  std::vector<double> delays, reads;
};

class Measurer {
 public:
  explicit Measurer(HANDLE toolThread) : toolThread_(toolThread) {}

  bool Open() { return driver_.Open(5000) && driver_.Reset(); }
  void Close() { driver_.Reset(); }

  // Processor time of the tool's thread per second over `seconds`. The driver's journal is read
  // as it goes (an armed tool fills it fast), counting the slot reads.
  double ToolPerSecond(double seconds, double* readsPerSecond = nullptr) {
    driver_.ReadJournal();
    const double startMs = ProcessorMs(toolThread_);
    const auto start = Clock::now();
    size_t reads = 0;
    while (Seconds(Clock::now() - start) < seconds) {
      std::this_thread::sleep_for(50ms);
      for (const JournalEntry& e : driver_.ReadJournal())
        if (e.Code == kGetRightButtonSlot) ++reads;
    }
    const double elapsed = Seconds(Clock::now() - start);
    if (readsPerSecond) *readsPerSecond = static_cast<double>(reads) / elapsed;
    return (ProcessorMs(toolThread_) - startMs) / elapsed;
  }

  // This thread reading the slot back to back, with nothing else to do: polling at its fastest.
  double BarePerSecond(double seconds, double* readsPerSecond) {
    const double startMs = ProcessorMs(GetCurrentThread());
    const auto start = Clock::now();
    size_t reads = 0;
    while (Seconds(Clock::now() - start) < seconds) {
      driver_.RightButtonSlot();
      ++reads;
    }
    const double elapsed = Seconds(Clock::now() - start);
    *readsPerSecond = static_cast<double>(reads) / elapsed;
    driver_.ReadJournal();
    return (ProcessorMs(GetCurrentThread()) - startMs) / elapsed;
  }

  // The tool's windows as the other programs find them: through the driver's registration (the
  // window is this process's, so the other programs' check of its program does not apply).
  bool Registered() {
    return WaitFor([&] {
      const auto slot = driver_.RightButtonSlot();
      DWORD owner = 0;
      if (!slot || slot->Handle == kNoWindow ||
          !GetWindowThreadProcessId(reinterpret_cast<HWND>(static_cast<INT_PTR>(slot->Handle)), &owner) ||
          owner != GetCurrentProcessId())
        return false;
      window_ = reinterpret_cast<HWND>(static_cast<INT_PTR>(slot->Handle));
      button_ = ui::FindNamedChild(window_, "cmdAction");
      return button_ && IsWindowVisible(button_);
    }, 20s);
  }

  bool Arm() {
    PostMessageA(button_, BM_CLICK, 0, 0);
    return WaitFor([&] {
      const auto slot = driver_.RightButtonSlot();
      return slot && slot->State == kToolArmed && !IsWindowVisible(button_);
    });
  }

  // Milliseconds from the right click to the visible button; negative when it did not come back.
  double RightClick() {
    const auto start = Clock::now();
    driver_.RightClickDone();
    if (!WaitFor([&] { return IsWindowVisible(button_) != FALSE; })) return -1;
    return Milliseconds(Clock::now() - start);
  }

  void QuitTool() { PostMessageA(window_, WM_USER, device::kQuitTool, 0); }

  // Hidden as the other programs hide it, and shown again; true when the window followed.
  bool Hide() {
    PostMessageA(window_, WM_USER, device::kHideTool, 0);
    return WaitFor([&] { return !IsWindowVisible(window_); });
  }
  bool Show() {
    PostMessageA(window_, WM_USER, device::kShowTool, 0);
    return WaitFor([&] { return IsWindowVisible(window_) != FALSE; });
  }

  // One slot read as the tool makes it in its loop, in milliseconds.
  double SlotRead() {
    const auto start = Clock::now();
    driver_.RightButtonSlot();
    return Milliseconds(Clock::now() - start);
  }

  void DrainJournal() { driver_.ReadJournal(); }

 private:
  HANDLE toolThread_;
  HWND window_ = nullptr;
  HWND button_ = nullptr;
  sim::SimClient driver_;
};


}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::max(0.5, std::atof(argv[1])) : 2.0;
  const int clicks = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;
  HANDLE self = nullptr;
  DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &self, 0, FALSE,
                  DUPLICATE_SAME_ACCESS);
  const UniqueHandle mainThread(self);
  Measurer measurer(mainThread.get());
  if (!measurer.Open()) {
    std::fprintf(stderr, "cannot open the driver; is it installed and started in this prefix?\n");
    return 1;
  }
  const DWORD mainId = GetCurrentThreadId();
  MSG message;
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // the queue the first phase ends through
  Results r;

  std::thread player([&] {
    // A thread waiting for messages and nothing else: the floor of the idle tool.
    r.waiting = measurer.ToolPerSecond(seconds);
    PostThreadMessageA(mainId, WM_QUIT, 0, 0);
    if (!measurer.Registered()) return;  // the tool, if it loads at all, ends on its own
    r.idle = measurer.ToolPerSecond(seconds);
    if (measurer.Hide()) {
      r.hidden = measurer.ToolPerSecond(seconds);
      measurer.Show();
    }
    if (measurer.Arm()) {
      r.armed = measurer.ToolPerSecond(seconds, &r.armedReads);
      measurer.RightClick();
    }
    r.bare = measurer.BarePerSecond(seconds, &r.bareReads);
    for (int i = 0; i < clicks && measurer.Arm(); ++i) {
      measurer.DrainJournal();
      for (int read = 0; read < 5; ++read) r.reads.push_back(measurer.SlotRead());
      const double delay = measurer.RightClick();
      if (delay < 0) break;
      r.delays.push_back(delay);
    }
    measurer.QuitTool();
  });

  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
  }
  ui::Application app;
  device::DriverSession driver;
  rbtool::frmMain tool(app, driver, ReadTrustedFolders().Install);
  if (tool.Load()) {
    tool.ShowInCorner();
    app.Run();
  } else {
    std::fprintf(stderr, "the tool did not register; is another one running?\n");
  }
  player.join();
  measurer.Close();

  std::printf("right-button tool against the substitute driver, %.1f s a figure, %d right clicks\n", seconds, clicks);
  std::printf("processor time of the tool's thread in ms per second; slot reads per second\n");
  using bench::Figure;
  Figure("right-button tool CPU, idle", r.idle, "ms/s", "a thread waiting for messages", r.waiting);
  if (r.hidden >= 0)
    Figure("right-button tool CPU, hidden", r.hidden, "ms/s", "a thread waiting for messages", r.waiting);
  else
    std::printf("the tool did not hide\n");
  if (r.armed >= 0) {
    Figure("right-button tool CPU, armed", r.armed, "ms/s", "a thread reading the slot, no pause", r.bare);
    Figure("right-button tool slot reads, armed", r.armedReads, "/s", "a thread reading the slot, no pause",
           r.bareReads);
  } else {
    std::printf("the tool did not arm\n");
  }
  if (!r.delays.empty()) {
    const Summary delay = Summarise(r.delays);
    const Summary read = Summarise(r.reads);
    Figure("right click (0xFE040) -> button visible", delay.median, "ms", "one slot read", read.median);
    std::printf("  (right click -> button visible: min %.2f ms, max %.2f ms)\n", delay.low, delay.high);
  } else {
    std::printf("no complete right click measured\n");
  }
  return 0;
}
