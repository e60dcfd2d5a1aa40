// The screen's mouse pointer, shared by every window of the program. Requests for the hourglass
// are counted: each adds one, each request for the normal pointer takes one away (never below
// zero), and the pointer is the hourglass while the count is above zero, so nested actions that
// each show the hourglass leave it up until the outermost one ends.
#pragma once

namespace koral {

void HourglassPointer();
void NormalPointer();
int HourglassCount();

// Shows the hourglass for the lifetime of the object.
class BusyPointer {
 public:
  BusyPointer() { HourglassPointer(); }
  ~BusyPointer() { NormalPointer(); }
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;
};

// For WM_SETCURSOR: sets the hourglass and returns true while one is requested.
bool ApplyHourglass();

}  // namespace koral
