// korctl: installs, starts and drives the substitute KORALPS2 driver from the command line.
// Exit status: 0 done, 1 failed, 2 wrong usage.
#include <windows.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/win/service_control.h"
#include "tools/journal_text.h"
#include "tools/sim_client.h"

namespace {

using namespace koral;

constexpr char kUsage[] =
    "usage: korctl COMMAND [ARGUMENTS]\n"
    "\n"
    "Service (kernel service KORALPS2):\n"
    "  install PATH          install the driver image PATH (a Windows path) as an automatically\n"
    "                        started kernel service; an installed service gets the new path\n"
    "  start                 start the service and wait until the device opens\n"
    "  stop                  stop the service\n"
    "  status                service state, start type, image path, whether the device opens\n"
    "\n"
    "Simulation:\n"
    "  reset                 default block, no window registered, no touch, empty journal\n"
    "  push X Y TOUCHED      a new raw sample; TOUCHED is 0 or 1\n"
    "  load-block FILE       the 82 bytes of FILE become the driver's block\n"
    "  save-block FILE       write the driver's block to FILE (82 bytes; a journalled 0xF2010)\n"
    "  block                 show the driver's block field by field (a journalled 0xF2010)\n"
    "  set-companion HANDLE ORIENT\n"
    "                        register a companion window (-1 = none) and orientation code\n"
    "  right-click-done      the driver has turned the armed touch into a right click\n"
    "  refuse CODE [COUNT]   refuse the next COUNT requests with the suite code CODE, as a\n"
    "                        controller that does not answer (no COUNT: until a reset;\n"
    "                        COUNT 0: refuse no more)\n"
    "  journal               print and remove every journal entry, oldest first\n"
    "\n"
    "Numbers may be decimal or 0x-prefixed hexadecimal.\n";

constexpr DWORD kStartWaitMs = 10000;

int Usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

std::string ErrorText(DWORD error) {
  char text[256] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                 text, sizeof text, nullptr);
  std::string result = text;
  while (!result.empty() && (result.back() == '\n' || result.back() == '\r')) result.pop_back();
  return "error " + std::to_string(error) + (result.empty() ? "" : ": " + result);
}

int Fail(const std::string& what, DWORD error) {
  std::fprintf(stderr, "korctl: %s: %s\n", what.c_str(), ErrorText(error).c_str());
  return 1;
}

int Fail(const std::string& what) {
  std::fprintf(stderr, "korctl: %s\n", what.c_str());
  return 1;
}

int Result(const std::string& what, DWORD error) { return error ? Fail(what, error) : 0; }

bool ParseNumber(const char* text, long long low, long long high, long long& value) {
  errno = 0;
  char* end = nullptr;
  const long long parsed = std::strtoll(text, &end, 0);
  if (errno != 0 || end == text || *end != '\0' || parsed < low || parsed > high) return false;
  value = parsed;
  return true;
}

bool OpenDevice(sim::SimClient& client) {
  if (client.Open()) return true;
  Fail("cannot open \\\\.\\KORALPS2 (is the driver started?)", client.LastError());
  return false;
}

const char* StateName(DWORD state) {
  switch (state) {
    case SERVICE_STOPPED: return "stopped";
    case SERVICE_START_PENDING: return "starting";
    case SERVICE_STOP_PENDING: return "stopping";
    case SERVICE_RUNNING: return "running";
    default: return "other";
  }
}

const char* StartTypeName(DWORD type) {
  switch (type) {
    case SERVICE_BOOT_START: return "boot";
    case SERVICE_SYSTEM_START: return "system";
    case SERVICE_AUTO_START: return "automatic";
    case SERVICE_DEMAND_START: return "on demand";
    case SERVICE_DISABLED: return "disabled";
    default: return "other";
  }
}

int Status() {
  const auto info = service::Query();
  if (!info) return Fail("service KORALPS2 is not installed or cannot be queried", GetLastError());
  std::printf("service:  %s\nstart:    %s\nimage:    %s\n", StateName(info->State),
              StartTypeName(info->StartType), info->BinaryPath.c_str());
  sim::SimClient client;
  const bool opens = client.Open();
  std::printf("device:   %s\n", opens ? "opens" : ErrorText(client.LastError()).c_str());
  return opens ? 0 : 1;
}

int StartDriver() {
  if (const DWORD error = service::Start()) return Fail("cannot start the service", error);
  if (!service::WaitForDevice(kStartWaitMs)) {
    return Fail("the service started but the device did not open");
  }
  return 0;
}

int LoadBlockFrom(const char* path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return Fail(std::string("cannot read ") + path);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
  if (bytes.size() != sizeof(ParamBlock)) {
    return Fail(std::string(path) + " holds " + std::to_string(bytes.size()) +
                " bytes; a block is 82");
  }
  ParamBlock block;
  std::memcpy(&block, bytes.data(), sizeof block);
  sim::SimClient client;
  if (!OpenDevice(client)) return 1;
  return client.LoadBlock(block) ? 0 : Fail("load-block", client.LastError());
}

int SaveBlockTo(const char* path) {
  sim::SimClient client;
  if (!OpenDevice(client)) return 1;
  const auto block = client.ReadBlock();
  if (!block) return Fail("reading the block", client.LastError());
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(&*block), sizeof *block);
  file.close();
  return file ? 0 : Fail(std::string("cannot write ") + path);
}

int ShowBlock() {
  sim::SimClient client;
  if (!OpenDevice(client)) return 1;
  const auto block = client.ReadBlock();
  if (!block) return Fail("reading the block", client.LastError());
  std::printf("%s\n", sim::DescribeBlock(*block, 0, "\n").c_str());
  return 0;
}

int PrintJournal() {
  sim::SimClient client;
  if (!OpenDevice(client)) return 1;
  const auto entries = client.ReadJournal();
  if (client.LastError() != ERROR_SUCCESS) return Fail("reading the journal", client.LastError());
  for (size_t i = 0; i < entries.size(); ++i) {
    std::printf("#%zu %s", i + 1, sim::DescribeEntry(entries[i]).c_str());
  }
  std::printf("%zu entr%s\n", entries.size(), entries.size() == 1 ? "y" : "ies");
  return 0;
}

int Run(const std::vector<std::string>& args) {
  if (args.empty()) return Usage();
  const std::string& command = args[0];
  const size_t operands = args.size() - 1;
  auto needs = [&](size_t count) { return operands == count; };

  if (command == "install" && needs(1)) return Result("install", service::Install(args[1]));
  if (command == "start" && needs(0)) return StartDriver();
  if (command == "stop" && needs(0)) return Result("stop", service::Stop());
  if (command == "status" && needs(0)) return Status();
  if (command == "load-block" && needs(1)) return LoadBlockFrom(args[1].c_str());
  if (command == "save-block" && needs(1)) return SaveBlockTo(args[1].c_str());
  if (command == "block" && needs(0)) return ShowBlock();
  if (command == "journal" && needs(0)) return PrintJournal();

  sim::SimClient client;
  if (command == "reset" && needs(0)) {
    if (!OpenDevice(client)) return 1;
    return client.Reset() ? 0 : Fail("reset", client.LastError());
  }
  if (command == "right-click-done" && needs(0)) {
    if (!OpenDevice(client)) return 1;
    return client.RightClickDone() ? 0 : Fail("right-click-done", client.LastError());
  }
  if (command == "push" && needs(3)) {
    long long x, y, touched;
    if (!ParseNumber(args[1].c_str(), SHRT_MIN, SHRT_MAX, x) ||
        !ParseNumber(args[2].c_str(), SHRT_MIN, SHRT_MAX, y) ||
        !ParseNumber(args[3].c_str(), 0, 1, touched)) {
      return Usage();
    }
    if (!OpenDevice(client)) return 1;
    return client.PushSample(static_cast<int16_t>(x), static_cast<int16_t>(y), touched != 0)
               ? 0
               : Fail("push", client.LastError());
  }
  if (command == "refuse" && (needs(1) || needs(2))) {
    long long code, count = kRefuseAlways;
    if (!ParseNumber(args[1].c_str(), 0, UINT32_MAX, code) ||
        (needs(2) && !ParseNumber(args[2].c_str(), 0, UINT32_MAX, count))) {
      return Usage();
    }
    if (!OpenDevice(client)) return 1;
    return client.Refuse(static_cast<uint32_t>(code), static_cast<uint32_t>(count)) ? 0
                                                                                   : Fail("refuse", client.LastError());
  }
  if (command == "set-companion" && needs(2)) {
    long long handle, orientation;
    // Window handles fit in 32 bits; accept them signed or as unsigned hexadecimal.
    if (!ParseNumber(args[1].c_str(), INT32_MIN, UINT32_MAX, handle) ||
        !ParseNumber(args[2].c_str(), SHRT_MIN, SHRT_MAX, orientation)) {
      return Usage();
    }
    if (!OpenDevice(client)) return 1;
    return client.SetCompanionSlot(static_cast<int32_t>(static_cast<uint32_t>(handle)),
                                   static_cast<int16_t>(orientation))
               ? 0
               : Fail("set-companion", client.LastError());
  }
  return Usage();
}

}  // namespace

int main(int argc, char** argv) { return Run(std::vector<std::string>(argv + 1, argv + argc)); }
