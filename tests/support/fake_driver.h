// The driver and the settings store in this process, for testing windows without the substitute
// driver or the registry. FakeDriver runs the substitute driver's own logic (driver/logic), so a
// fake block, slot and journal behave as the real driver's do; a test chooses which commands it
// refuses, as `korctl refuse` makes the real one refuse them. FakeSettingsStore holds values and
// refuses the writes a test chooses.
//
//   test::FakeDriver driver;
//   driver.Refuse(kWriteMouseSpeed);           // every 0xF2090 from now on
//   panel::frmMain main(app, driver, store);   // the window as the program makes it
//   ... click Apply ...
//   EXPECT_EQ(driver.Held().MouseHSpeed, 10);  // the driver kept its block
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/core/driver_protocol.h"
#include "common/win/driver_link.h"
#include "common/win/profile.h"

namespace koral::logic {
struct DriverState;
}

namespace koral::test {

class FakeDriver final : public device::Driver {
 public:
  FakeDriver();
  ~FakeDriver() override;
  FakeDriver(const FakeDriver&) = delete;
  FakeDriver& operator=(const FakeDriver&) = delete;

  // What a test sets up and looks at.
  bool RefuseOpen = false;
  // The next `count` commands with `code` fail (kRefuseAlways: until Allow or a reset).
  void Refuse(uint32_t code, uint32_t count = kRefuseAlways);
  void Allow(uint32_t code) { Refuse(code, 0); }
  void Load(const ParamBlock& block);
  void PushSample(int16_t x, int16_t y, bool touched);
  void SetCompanionSlot(int32_t handle, int16_t orientation);
  // The block the driver holds (not journalled).
  ParamBlock Held() const;
  // Every command the driver took since the last look, oldest first.
  std::vector<JournalEntry> Journal();
  std::vector<uint32_t> JournalCodes();
  bool IsOpen() const { return open_; }
  int Opens() const { return opens_; }

  // device::Driver
  bool Open() override;
  void Close() override { open_ = false; }
  std::optional<ParamBlock> ReadBlock() override { return Read<ParamBlock>(kReadBlock); }
  std::optional<RawPoint> ReadRawPoint() override { return Read<RawPoint>(kReadRawPoint); }
  bool SignalCalibration(int32_t event) override { return Send(kCalibrationEvent, ModeArg{event}); }
  bool Write(device::Group group, const ParamBlock& block) override {
    return Send(static_cast<uint32_t>(group), block);
  }
  std::optional<WindowSlot> RightButtonSlot() override { return Read<WindowSlot>(kGetRightButtonSlot); }
  bool SetRightButtonSlot(const WindowSlot& slot) override { return Send(kSetRightButtonSlot, slot); }
  std::optional<WindowSlot> CompanionSlot() override { return Read<WindowSlot>(kGetCompanionSlot); }
  bool PlaySound(const SoundTest& sound) override { return Send(kSoundTest, sound); }

 private:
  // One call as the real driver takes it (one buffer in and out); the simulation codes work
  // whether the device is open or not.
  bool Call(uint32_t code, void* buffer, uint32_t length, uint32_t* returned = nullptr);
  template <typename T>
  std::optional<T> Read(uint32_t code) {
    T buffer{};
    uint32_t returned = 0;
    if (!open_ || !Call(code, &buffer, sizeof buffer, &returned) || returned != sizeof buffer) return std::nullopt;
    return buffer;
  }
  template <typename T>
  bool Send(uint32_t code, T buffer) {
    return open_ && Call(code, &buffer, sizeof buffer);
  }

  std::unique_ptr<logic::DriverState> state_;
  bool open_ = false;
  int opens_ = 0;
};

class FakeSettingsStore final : public SettingsStore {
 public:
  // The development profile, InstallPath naming `installPath`.
  explicit FakeSettingsStore(const std::string& installPath = "C:\\TouchScreen");

  std::map<std::string, std::string> Texts;
  std::map<std::string, int32_t> Numbers;
  // Values stored in a type neither reader takes.
  std::set<std::string> Others;
  // Writes of these names fail and change nothing.
  std::set<std::string> RefusedWrites;
  bool Missing = false;  // the key cannot be opened: nothing reads or writes

  bool Available() override { return !Missing; }
  bool ReadText(const char* name, std::string& text) override;
  bool ReadNumber(const char* name, int32_t& value) override;
  bool WriteNumber(const char* name, int32_t value) override;
  bool Has(const char* name) override;
};

}  // namespace koral::test
