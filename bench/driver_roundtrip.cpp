// Round-trip time of the driver commands the suite sends most, against the substitute driver.
// Reading an empty journal is the cheapest call the driver answers: the floor of any call.
//   scripts/wine-run build/windows/bench/driver_roundtrip.exe [iterations]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/win/driver_link.h"

namespace {

struct Stats {
  double median, mean, p99;
};

template <typename Call>
Stats Measure(int iterations, Call call) {
  std::vector<double> micros;
  micros.reserve(static_cast<size_t>(iterations));
  for (int i = 0; i < iterations; ++i) {
    const auto start = std::chrono::steady_clock::now();
    call();
    micros.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(micros.begin(), micros.end());
  double sum = 0;
  for (double m : micros) sum += m;
  return {micros[micros.size() / 2], sum / static_cast<double>(micros.size()),
          micros[micros.size() * 99 / 100]};
}

// A call the session does not make (the simulation codes), on the session's own kind of handle.
bool Raw(HANDLE device, uint32_t code, void* buffer, DWORD in, DWORD out) {
  DWORD returned = 0;
  return DeviceIoControl(device, code, buffer, in, buffer, out, &returned, nullptr) != 0;
}

void Report(const char* name, const Stats& s) {
  std::printf("%-34s median %8.1f us   mean %8.1f us   p99 %8.1f us\n", name, s.median, s.mean, s.p99);
}

}  // namespace

int main(int argc, char** argv) {
  const int iterations = argc > 1 ? std::max(10, std::atoi(argv[1])) : 2000;
  koral::device::DriverSession driver;
  const koral::UniqueHandle device(CreateFileA("\\\\.\\KORALPS2", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!driver.Open() || !device) {
    std::fprintf(stderr, "cannot open the driver; is it installed and started in this prefix?\n");
    return 1;
  }
  koral::JournalEntry journal[1];
  koral::ModeArg ignored{};
  Raw(device.get(), koral::kSimReset, &ignored, sizeof ignored, sizeof ignored);

  std::printf("driver round trips, %d calls each\n", iterations);
  const Stats floor = Measure(iterations, [&] { Raw(device.get(), koral::kSimReadJournal, journal, 0, sizeof journal); });
  const Stats raw = Measure(iterations, [&] { driver.ReadRawPoint(); });
  const Stats block = Measure(iterations, [&] { driver.ReadBlock(); });
  Report("0xFE030 read empty journal (floor)", floor);
  Report("0xF2030 read raw sample", raw);
  Report("0xF2010 read parameter block", block);

  Raw(device.get(), koral::kSimReset, &ignored, sizeof ignored, sizeof ignored);
  driver.Close();
  return 0;
}
