#include "tests/support/slot_stand_in.h"

#include <fstream>
#include <sstream>
#include <string>

#include "common/core/driver_protocol.h"
#include "common/core/launch_rules.h"
#include "tools/sim_client.h"

namespace koral::test {

namespace fs = std::filesystem;

const char* SlotProgram(SlotStandIn::Role role) {
  return role == SlotStandIn::Role::Tool ? kRightButtonProgram : kCompanionProgram;
}

bool CopyProgram(const char* program, const fs::path& folder) {
  std::error_code error;
  fs::create_directories(folder, error);
  fs::copy_file(fs::path(ProgramFolder()) / program, folder / program, fs::copy_options::overwrite_existing, error);
  return !error;
}

bool SlotStandIn::Start(const fs::path& folder, Role role, bool hang, bool copy) {
  Kill();
  handle_ = kNoWindow;
  program_ = folder / SlotProgram(role);
  std::error_code error;
  fs::create_directories(folder, error);
  if (copy)
    fs::copy_file(fs::path(ToolFolder()) / "slot_window_stand_in.exe", program_, fs::copy_options::overwrite_existing,
                  error);
  fs::remove(program_.string() + ".log", error);
  if (!fs::exists(program_)) return false;
  const std::string arguments = std::string(role == Role::Tool ? "tool" : "companion") + (hang ? " hang" : "");
  if (!process_.Start(program_.filename().string(), arguments, folder.string())) return false;
  sim::SimClient driver;
  if (!driver.Open(5000)) return false;
  return WaitUntil([&] {
    const auto slot = role == Role::Tool ? driver.RightButtonSlot() : driver.CompanionSlot();
    if (!slot || slot->Handle == kNoWindow) return false;
    DWORD owner = 0;
    GetWindowThreadProcessId(reinterpret_cast<HWND>(static_cast<INT_PTR>(slot->Handle)), &owner);
    if (owner != process_.Id()) return false;
    handle_ = slot->Handle;
    return true;
  });
}

std::vector<WPARAM> SlotStandIn::Received() const {
  std::vector<WPARAM> received;
  std::ifstream log(program_.string() + ".log");
  for (std::string line; std::getline(log, line);)
    if (!line.empty()) received.push_back(static_cast<WPARAM>(std::stoull(line, nullptr, 16)));
  return received;
}

bool SlotStandIn::Ended(std::chrono::milliseconds limit) { return process_.WaitForExit(limit).has_value(); }

void SlotStandIn::Kill() { process_ = {}; }

}  // namespace koral::test
