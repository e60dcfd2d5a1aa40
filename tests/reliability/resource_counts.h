// What a process holds, read from outside with a handle to it, for the leak rounds. A count the
// platform does not report (a stub answers 0 for a process that plainly holds objects) is left
// empty rather than read as zero, so that a flat line of zeros never passes for "no leak". Where
// GetProcessHandleCount or the private-memory figure of GetProcessMemoryInfo is such a stub (as
// under Wine), the handles are counted in the system's handle list and the private memory is
// added up region by region instead; where GetGuiResources is one, the GDI objects are counted in
// the process's GDI handle table. USER objects other than windows have no such second source.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace koral::test {

struct ResourceCounts {
  std::optional<DWORD> Handles;      // kernel handles (GetProcessHandleCount)
  std::optional<DWORD> GdiObjects;   // GetGuiResources(GR_GDIOBJECTS)
  std::optional<DWORD> UserObjects;  // GetGuiResources(GR_USEROBJECTS)
  DWORD Windows = 0;                 // windows the process owns, top-level and children
  std::optional<uint64_t> PrivateKb; // committed private memory, which a lost object grows
};

// `process` needs PROCESS_QUERY_INFORMATION (and PROCESS_VM_READ for the memory figure).
ResourceCounts Measure(HANDLE process, DWORD processId);

// The counts of several processes added up; a count is measured when it is for every one.
ResourceCounts Sum(const ResourceCounts& a, const ResourceCounts& b);

// Growth from `before` to `after` of each count both readings have, one line for a report:
// "handles 41 -> 41, windows 12 -> 12, ..."; unmeasured counts say so.
std::string Describe(const ResourceCounts& before, const ResourceCounts& after);

// How far each count may grow over a run before it counts as a leak.
struct LeakBounds {
  DWORD Handles = 0;
  DWORD GuiObjects = 0;
  DWORD Windows = 0;
  uint64_t PrivateKb = 0;
};
// A leak grows with the rounds; a cache the platform fills once grows in one step. The first
// count that grew past half its bound in both halves of a run (readings before, half-way and
// after), named with its growth in each half ("GDI objects +7 then +8"), or empty.
std::string Leaked(const ResourceCounts& before, const ResourceCounts& middle, const ResourceCounts& after,
                   const LeakBounds& bounds);

}  // namespace koral::test
