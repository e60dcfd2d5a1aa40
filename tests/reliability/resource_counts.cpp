#include "tests/reliability/resource_counts.h"

#include <psapi.h>
#include <winternl.h>

#include <cstddef>
#include <cstring>

#include <vector>

#include "common/win/handles.h"

namespace koral::test {

namespace {

// A stub says so through the last error, or answers 0 for a process that owns windows, which
// a real count never does.
std::optional<DWORD> GuiCount(HANDLE process, DWORD which, DWORD windows) {
  SetLastError(ERROR_SUCCESS);
  const DWORD count = GetGuiResources(process, which);
  if (count == 0 && (GetLastError() == ERROR_CALL_NOT_IMPLEMENTED || windows > 0)) return std::nullopt;
  return count;
}

// The GDI handle table the process environment block points to (GdiSharedHandleTable): one
// 24-byte entry a handle, in use where its type byte is not 0. Under Wine each process has its
// own table; Windows shares one among all processes, but there GetGuiResources answers.
struct GdiTableEntry {
  uint64_t Object;
  uint32_t Owner;
  uint16_t Unique;
  uint8_t Type;
  uint8_t Flags;
  uint64_t User;
};
static_assert(sizeof(GdiTableEntry) == 24);
constexpr size_t kPebGdiTableOffset = 0xF8;  // in the 64-bit process environment block
constexpr size_t kGdiTableEntries = 0x4000;

std::optional<DWORD> GdiTableCount(HANDLE process) {
  PROCESS_BASIC_INFORMATION basic{};
  ULONG length = 0;
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, &length) != 0 ||
      !basic.PebBaseAddress)
    return std::nullopt;
  uint64_t table = 0;
  SIZE_T read = 0;
  if (!ReadProcessMemory(process, reinterpret_cast<const BYTE*>(basic.PebBaseAddress) + kPebGdiTableOffset, &table,
                         sizeof table, &read) ||
      table == 0)
    return std::nullopt;
  std::vector<GdiTableEntry> entries(kGdiTableEntries);
  if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                         entries.size() * sizeof(GdiTableEntry), &read))
    return std::nullopt;
  DWORD used = 0;
  for (size_t i = 0; i < read / sizeof(GdiTableEntry); ++i)
    if (entries[i].Type != 0) ++used;
  return used;
}

// The system's handle list (NtQuerySystemInformation, SystemHandleInformation), one record a
// handle with the owner's process id.
struct SystemHandle {
  ULONG OwnerPid;
  BYTE ObjectType;
  BYTE Flags;
  USHORT Value;
  PVOID Object;
  ULONG Access;
};
struct SystemHandleList {
  ULONG Count;
  SystemHandle First;
};
constexpr ULONG kSystemHandleInformation = 16;
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);

std::optional<DWORD> ListedHandles(DWORD processId) {
  using Query = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
  const auto query =
      reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return std::nullopt;
  std::vector<BYTE> buffer(1 << 20);
  NTSTATUS status = 0;
  ULONG needed = 0;
  while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
             kInfoLengthMismatch &&
         buffer.size() < (64u << 20))
    buffer.resize(buffer.size() * 2);
  if (status != 0) return std::nullopt;
  ULONG count = 0;
  std::memcpy(&count, buffer.data(), sizeof count);
  const BYTE* first = buffer.data() + offsetof(SystemHandleList, First);
  if (count > (buffer.size() - (first - buffer.data())) / sizeof(SystemHandle)) return std::nullopt;
  DWORD owned = 0;
  for (ULONG i = 0; i < count; ++i) {
    SystemHandle handle;
    std::memcpy(&handle, first + i * sizeof handle, sizeof handle);
    if (handle.OwnerPid == processId) ++owned;
  }
  return owned;
}

// Committed private memory, region by region.
uint64_t PrivateBytes(HANDLE process) {
  uint64_t total = 0;
  MEMORY_BASIC_INFORMATION region{};
  const BYTE* address = nullptr;
  while (VirtualQueryEx(process, address, &region, sizeof region) == sizeof region) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    const BYTE* next = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize;
    if (next <= address) break;
    address = next;
  }
  return total;
}

DWORD CountWindows(DWORD processId) {
  struct Search {
    DWORD Process;
    DWORD Count = 0;
  } search{processId};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != s.Process) return TRUE;
        ++s.Count;
        EnumChildWindows(
            window, [](HWND, LPARAM p) -> BOOL { return ++*reinterpret_cast<DWORD*>(p), TRUE; },
            reinterpret_cast<LPARAM>(&s.Count));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Count;
}

std::string Pair(const char* name, const auto& before, const auto& after) {
  if (!before || !after) return std::string(name) + " not measured";
  return std::string(name) + " " + std::to_string(*before) + " -> " + std::to_string(*after);
}

}  // namespace

ResourceCounts Measure(HANDLE process, DWORD processId) {
  ResourceCounts counts;
  counts.Windows = CountWindows(processId);
  if (DWORD handles = 0; GetProcessHandleCount(process, &handles) && handles > 0)
    counts.Handles = handles;
  else
    counts.Handles = ListedHandles(processId);
  counts.GdiObjects = GuiCount(process, GR_GDIOBJECTS, counts.Windows);
  if (!counts.GdiObjects) counts.GdiObjects = GdiTableCount(process);
  counts.UserObjects = GuiCount(process, GR_USEROBJECTS, counts.Windows);
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory) &&
      memory.PrivateUsage > 0)
    counts.PrivateKb = memory.PrivateUsage / 1024;
  else if (const uint64_t bytes = PrivateBytes(process); bytes > 0)
    counts.PrivateKb = bytes / 1024;
  return counts;
}

ResourceCounts Sum(const ResourceCounts& a, const ResourceCounts& b) {
  const auto add = [](const auto& x, const auto& y) -> std::decay_t<decltype(x)> {
    if (!x || !y) return std::nullopt;
    return *x + *y;
  };
  return {add(a.Handles, b.Handles), add(a.GdiObjects, b.GdiObjects), add(a.UserObjects, b.UserObjects),
          a.Windows + b.Windows, add(a.PrivateKb, b.PrivateKb)};
}

std::string Describe(const ResourceCounts& before, const ResourceCounts& after) {
  return Pair("handles", before.Handles, after.Handles) + ", " +
         Pair("GDI objects", before.GdiObjects, after.GdiObjects) + ", " +
         Pair("USER objects", before.UserObjects, after.UserObjects) + ", " +
         Pair("windows", std::optional(before.Windows), std::optional(after.Windows)) + ", " +
         Pair("private KB", before.PrivateKb, after.PrivateKb);
}

namespace {

struct Growth {
  std::string Name;
  uint64_t By = 0;
};

// Every count that grew past its bound.
std::vector<Growth> Growths(const ResourceCounts& before, const ResourceCounts& after, const LeakBounds& bounds) {
  const auto grew = [](const auto& b, const auto& a, uint64_t bound) -> std::optional<uint64_t> {
    if (!b || !a || *a <= *b || *a - *b <= bound) return std::nullopt;
    return *a - *b;
  };
  const std::pair<const char*, std::optional<uint64_t>> checks[] = {
      {"handles", grew(before.Handles, after.Handles, bounds.Handles)},
      {"GDI objects", grew(before.GdiObjects, after.GdiObjects, bounds.GuiObjects)},
      {"USER objects", grew(before.UserObjects, after.UserObjects, bounds.GuiObjects)},
      {"windows", grew(std::optional(before.Windows), std::optional(after.Windows), bounds.Windows)},
      {"private KB", grew(before.PrivateKb, after.PrivateKb, bounds.PrivateKb)}};
  std::vector<Growth> found;
  for (const auto& [name, by] : checks)
    if (by) found.push_back({name, *by});
  return found;
}

}  // namespace

std::string Leaked(const ResourceCounts& before, const ResourceCounts& middle, const ResourceCounts& after,
                   const LeakBounds& bounds) {
  const LeakBounds half{bounds.Handles / 2, bounds.GuiObjects / 2, bounds.Windows / 2, bounds.PrivateKb / 2};
  for (const Growth& first : Growths(before, middle, half))
    for (const Growth& second : Growths(middle, after, half))
      if (first.Name == second.Name)
        return first.Name + " +" + std::to_string(first.By) + " then +" + std::to_string(second.By);
  return {};
}

}  // namespace koral::test
