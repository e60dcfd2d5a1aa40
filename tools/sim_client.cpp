#include "tools/sim_client.h"

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "driver/logic/driver_logic.h"

namespace koral::sim {
namespace {

// How often a wait looks again; the waits themselves end as soon as their condition holds.
constexpr auto kPollInterval = std::chrono::milliseconds(20);

// Calls `done` until it holds or `wait_ms` has passed; true when it held.
template <typename Condition>
bool PollUntil(DWORD wait_ms, Condition done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kPollInterval);
  }
  return true;
}

template <typename T>
std::optional<T> ReadStruct(SimClient& client, uint32_t code) {
  T value{};
  DWORD returned = 0;
  if (!client.Exchange(code, &value, sizeof value, &returned) || returned != sizeof value) {
    return std::nullopt;
  }
  return value;
}

// Entries fetched per journal read.
constexpr DWORD kJournalChunk = 64;

UniqueServiceHandle OpenManager() {
  return UniqueServiceHandle(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
}

UniqueServiceHandle OpenDriverService(DWORD access) {
  const UniqueServiceHandle manager = OpenManager();
  if (!manager) return UniqueServiceHandle();
  return UniqueServiceHandle(OpenServiceA(manager.get(), kServiceName, access));
}

DWORD ErrorOr(bool ok) { return ok ? ERROR_SUCCESS : GetLastError(); }

}  // namespace

bool SimClient::Open(DWORD wait_ms) {
  const std::string path = std::string("\\\\.\\") + kDeviceName;
  auto try_open = [&] {
    device_.reset(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    last_error_ = device_ ? ERROR_SUCCESS : GetLastError();
    return static_cast<bool>(device_);
  };
  return PollUntil(wait_ms, try_open);
}

bool SimClient::Call(uint32_t code, const void* input, DWORD input_length, void* output,
                     DWORD output_length, DWORD* returned) {
  DWORD bytes = 0;
  OVERLAPPED overlapped{};
  const bool ok = DeviceIoControl(device_.get(), code, const_cast<void*>(input), input_length,
                                  output, output_length, &bytes, &overlapped) != 0;
  last_error_ = ok ? ERROR_SUCCESS : GetLastError();
  if (returned != nullptr) *returned = ok ? bytes : 0;
  return ok;
}

bool SimClient::Exchange(uint32_t code, void* buffer, DWORD length, DWORD* returned) {
  return Call(code, buffer, length, buffer, length, returned);
}

bool SimClient::Reset() {
  uint32_t ignored = 0;
  return Exchange(kSimReset, &ignored, sizeof ignored);
}

bool SimClient::LoadBlock(const ParamBlock& block) {
  ParamBlock buffer = block;
  return Exchange(kSimLoadBlock, &buffer, sizeof buffer);
}

bool SimClient::PushSample(int16_t x, int16_t y, bool touched) {
  SimSample sample{x, y, static_cast<uint8_t>(touched ? 1 : 0), {}};
  return Exchange(kSimPushSample, &sample, sizeof sample);
}

std::vector<JournalEntry> SimClient::ReadJournal() {
  std::vector<JournalEntry> entries;
  std::vector<JournalEntry> chunk(kJournalChunk);
  const DWORD length = static_cast<DWORD>(chunk.size() * sizeof(JournalEntry));
  for (;;) {
    DWORD returned = 0;
    if (!Exchange(kSimReadJournal, chunk.data(), length, &returned)) break;
    const size_t count = returned / sizeof(JournalEntry);
    entries.insert(entries.end(), chunk.begin(), chunk.begin() + static_cast<ptrdiff_t>(count));
    // A short read found the journal empty.
    if (count < chunk.size()) break;
  }
  return entries;
}

bool SimClient::RightClickDone() {
  uint32_t ignored = 0;
  return Exchange(kSimRightClickDone, &ignored, sizeof ignored);
}

bool SimClient::SetCompanionSlot(int32_t handle, int16_t orientation) {
  WindowSlot slot{handle, orientation, {}};
  return Exchange(kSimSetCompanionSlot, &slot, sizeof slot);
}

std::optional<ParamBlock> SimClient::ReadBlock() {
  return ReadStruct<ParamBlock>(*this, kReadBlock);
}

std::optional<RawPoint> SimClient::ReadRawPoint() {
  return ReadStruct<RawPoint>(*this, kReadRawPoint);
}

std::optional<WindowSlot> SimClient::RightButtonSlot() {
  return ReadStruct<WindowSlot>(*this, kGetRightButtonSlot);
}

std::optional<WindowSlot> SimClient::CompanionSlot() {
  return ReadStruct<WindowSlot>(*this, kGetCompanionSlot);
}

ParamBlock SimClient::DefaultBlock() { return logic::DefaultBlock(); }

DWORD Install(const std::string& sys_path) {
  const UniqueServiceHandle manager = OpenManager();
  if (!manager) return GetLastError();
  // Automatic start: Wine starts such a service at every cold start of its server, so the
  // device is there before the first program of the suite runs.
  UniqueServiceHandle service(CreateServiceA(
      manager.get(), kServiceName, kServiceName, SERVICE_ALL_ACCESS, SERVICE_KERNEL_DRIVER,
      SERVICE_AUTO_START, SERVICE_ERROR_NORMAL, sys_path.c_str(), nullptr, nullptr, nullptr,
      nullptr, nullptr));
  if (service) return ERROR_SUCCESS;
  if (GetLastError() != ERROR_SERVICE_EXISTS) return GetLastError();
  service.reset(OpenServiceA(manager.get(), kServiceName, SERVICE_CHANGE_CONFIG));
  if (!service) return GetLastError();
  return ErrorOr(ChangeServiceConfigA(service.get(), SERVICE_KERNEL_DRIVER, SERVICE_AUTO_START,
                                      SERVICE_ERROR_NORMAL, sys_path.c_str(), nullptr, nullptr,
                                      nullptr, nullptr, nullptr, nullptr) != 0);
}

DWORD Start() {
  const UniqueServiceHandle service = OpenDriverService(SERVICE_START);
  if (!service) return GetLastError();
  if (StartServiceA(service.get(), 0, nullptr)) return ERROR_SUCCESS;
  const DWORD error = GetLastError();
  return error == ERROR_SERVICE_ALREADY_RUNNING ? ERROR_SUCCESS : error;
}

DWORD Stop(DWORD wait_ms) {
  const UniqueServiceHandle service = OpenDriverService(SERVICE_STOP | SERVICE_QUERY_STATUS);
  if (!service) return GetLastError();
  SERVICE_STATUS status{};
  if (!ControlService(service.get(), SERVICE_CONTROL_STOP, &status)) {
    const DWORD error = GetLastError();
    if (error != ERROR_SERVICE_NOT_ACTIVE) return error;
  }
  const bool stopped = PollUntil(wait_ms, [&] {
    return QueryServiceStatus(service.get(), &status) && status.dwCurrentState == SERVICE_STOPPED;
  });
  return stopped ? ERROR_SUCCESS : ERROR_TIMEOUT;
}

DWORD Uninstall() {
  const UniqueServiceHandle manager = OpenManager();
  if (!manager) return GetLastError();
  const UniqueServiceHandle service(OpenServiceA(manager.get(), kServiceName, DELETE));
  if (!service) return GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST ? ERROR_SUCCESS : GetLastError();
  if (DeleteService(service.get())) return ERROR_SUCCESS;
  const DWORD error = GetLastError();
  return error == ERROR_SERVICE_MARKED_FOR_DELETE ? ERROR_SUCCESS : error;
}

bool WaitForDevice(DWORD wait_ms) { return SimClient().Open(wait_ms); }

std::optional<ServiceInfo> QueryService() {
  const UniqueServiceHandle service =
      OpenDriverService(SERVICE_QUERY_STATUS | SERVICE_QUERY_CONFIG);
  if (!service) return std::nullopt;
  ServiceInfo info;
  SERVICE_STATUS status{};
  if (!QueryServiceStatus(service.get(), &status)) return std::nullopt;
  info.State = status.dwCurrentState;
  DWORD needed = 0;
  QueryServiceConfigA(service.get(), nullptr, 0, &needed);
  std::vector<char> buffer(needed);
  auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
  if (needed == 0 || !QueryServiceConfigA(service.get(), config, needed, &needed)) {
    return std::nullopt;
  }
  info.StartType = config->dwStartType;
  if (config->lpBinaryPathName != nullptr) info.BinaryPath = config->lpBinaryPathName;
  return info;
}

ParamBlock BlockOf(const JournalEntry& entry) {
  ParamBlock block{};
  std::memcpy(&block, entry.Data, sizeof block);
  return block;
}

}  // namespace koral::sim
