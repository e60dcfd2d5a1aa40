#include "tests/support/fake_driver.h"

#include "driver/logic/driver_logic.h"

namespace koral::test {

FakeDriver::FakeDriver() : state_(std::make_unique<logic::DriverState>()) { logic::Reset(*state_); }

FakeDriver::~FakeDriver() = default;

bool FakeDriver::Call(uint32_t code, void* buffer, uint32_t length, uint32_t* returned) {
  const logic::Outcome outcome = logic::Handle(*state_, code, static_cast<uint8_t*>(buffer), length, length);
  if (returned) *returned = outcome.BytesReturned;
  return outcome.Result == logic::Status::kOk;
}

bool FakeDriver::Open() {
  ++opens_;
  open_ = !RefuseOpen;
  return open_;
}

void FakeDriver::Refuse(uint32_t code, uint32_t count) {
  SimRefusal refusal{code, count};
  Call(kSimRefuse, &refusal, sizeof refusal);
}

void FakeDriver::Load(const ParamBlock& block) {
  ParamBlock copy = block;
  Call(kSimLoadBlock, &copy, sizeof copy);
}

void FakeDriver::PushSample(int16_t x, int16_t y, bool touched) {
  SimSample sample{x, y, static_cast<uint8_t>(touched ? 1 : 0), {}};
  Call(kSimPushSample, &sample, sizeof sample);
}

void FakeDriver::SetCompanionSlot(int32_t handle, int16_t orientation) {
  WindowSlot slot{handle, orientation, {}};
  Call(kSimSetCompanionSlot, &slot, sizeof slot);
}

ParamBlock FakeDriver::Held() const { return state_->Block; }

std::vector<JournalEntry> FakeDriver::Journal() {
  std::vector<JournalEntry> entries(logic::kJournalCapacity);
  const logic::Outcome outcome =
      logic::Handle(*state_, kSimReadJournal, reinterpret_cast<uint8_t*>(entries.data()), 0,
                    static_cast<uint32_t>(entries.size() * sizeof(JournalEntry)));
  entries.resize(outcome.BytesReturned / sizeof(JournalEntry));
  return entries;
}

std::vector<uint32_t> FakeDriver::JournalCodes() {
  std::vector<uint32_t> codes;
  for (const JournalEntry& entry : Journal()) codes.push_back(entry.Code);
  return codes;
}

FakeSettingsStore::FakeSettingsStore(const std::string& installPath)
    : Texts{{"VenderName", "Brimholt"},      {"VenderStyle", "11201209"},
            {"InstallPath", installPath},    {"WindowsPath", "C:\\windows"},
            {"SystemPath", "C:\\windows\\system32"}, {"HardwareID", "*PNP0F13"}} {}

bool FakeSettingsStore::ReadText(const char* name, std::string& text) {
  const auto found = Texts.find(name);
  if (Missing || found == Texts.end()) return false;
  text = found->second;
  return true;
}

bool FakeSettingsStore::ReadNumber(const char* name, int32_t& value) {
  const auto found = Numbers.find(name);
  if (Missing || found == Numbers.end()) return false;
  value = found->second;
  return true;
}

bool FakeSettingsStore::WriteNumber(const char* name, int32_t value) {
  if (Missing || RefusedWrites.count(name)) return false;
  Texts.erase(name);
  Others.erase(name);
  Numbers[name] = value;
  return true;
}

bool FakeSettingsStore::Has(const char* name) {
  return !Missing && (Texts.count(name) || Numbers.count(name) || Others.count(name));
}

}  // namespace koral::test
