#include "tools/sim_client.h"

#include <cstring>

#include "common/win/service_control.h"
#include "driver/logic/driver_logic.h"

namespace koral::sim {
namespace {

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

}  // namespace

bool SimClient::Open(DWORD wait_ms) {
  device_.reset();
  device_ = service::OpenDevice(wait_ms, &last_error_, GENERIC_READ | GENERIC_WRITE);
  return static_cast<bool>(device_);
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

bool SimClient::Refuse(uint32_t code, uint32_t count) {
  SimRefusal refusal{code, count};
  return Exchange(kSimRefuse, &refusal, sizeof refusal);
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

ParamBlock BlockOf(const JournalEntry& entry) {
  ParamBlock block{};
  std::memcpy(&block, entry.Data, sizeof block);
  return block;
}

}  // namespace koral::sim
