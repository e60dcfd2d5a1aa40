// What the startup program's tests change outside themselves, put back when they end: Windows'
// double-click settings (in the test prefix), the user's mouse settings in the registry and the
// three values in the model key. Also the helpers that set and read them.
#pragma once

#include <windows.h>

#include <array>
#include <cstdio>
#include <optional>
#include <ostream>
#include <string>

#include "common/core/double_click.h"
#include "common/win/handles.h"
#include "common/win/profile.h"
#include "common/win/registry.h"
#include "tests/support/programs.h"

namespace koral::test {

inline constexpr const char* kDoubleClickNames[] = {kDoubleClickSpeedName, kDoubleClickWidthName,
                                                    kDoubleClickHeightName};

// Windows' settings as this process sees them now.
inline DoubleClickSettings WindowsDoubleClick() {
  return {static_cast<int32_t>(GetDoubleClickTime()), GetSystemMetrics(SM_CXDOUBLECLK),
          GetSystemMetrics(SM_CYDOUBLECLK)};
}

// Windows' settings as a program started now sees them (this process may keep what it read
// first), asked of the probe in the tools folder; the defaults of a bad answer never match.
inline DoubleClickSettings FreshDoubleClick() {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  if (!CreatePipe(&read, &write, &inherit, 0)) return {-1, -1, -1};
  UniqueHandle reader(read), writer(write);
  SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write;
  startup.hStdError = write;
  std::string command = "\"" + ToolFolder() + "\\double_click_probe.exe\"";
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                      &info))
    return {-1, -1, -1};
  UniqueHandle process(info.hProcess), thread(info.hThread);
  writer.reset();
  std::string output;
  char buffer[128];
  DWORD got = 0;
  while (ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0) output.append(buffer, got);
  WaitForSingleObject(info.hProcess, 10000);
  DoubleClickSettings s{-1, -1, -1};
  std::sscanf(output.c_str(), "%d %d %d", &s.Speed, &s.Width, &s.Height);
  return s;
}

inline void SetWindowsDoubleClick(const DoubleClickSettings& s) {
  SystemParametersInfoA(SPI_SETDOUBLECLKWIDTH, static_cast<UINT>(s.Width), nullptr, 0);
  SystemParametersInfoA(SPI_SETDOUBLECLKHEIGHT, static_cast<UINT>(s.Height), nullptr, 0);
  SystemParametersInfoA(SPI_SETDOUBLECLICKTIME, static_cast<UINT>(s.Speed), nullptr, 0);
}

// The raw data of a value (type and bytes), or nothing when it is not there.
struct StoredValue {
  DWORD Type = 0;
  std::string Data;
  friend bool operator==(const StoredValue&, const StoredValue&) = default;
};
inline void PrintTo(const StoredValue& v, std::ostream* out) {
  *out << "type " << v.Type << ", " << v.Data.size() << " bytes";
}

inline std::optional<StoredValue> ReadValue(HKEY root, const std::string& path, const char* name) {
  UniqueHKey key;
  if (!registry::OpenExistingKey(root, path, key)) return std::nullopt;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  std::string data(size, '\0');
  if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  data.resize(size);
  return StoredValue{type, data};
}

inline void WriteValue(HKEY root, const std::string& path, const char* name, const std::optional<StoredValue>& value) {
  UniqueHKey key;
  if (!registry::OpenKey(root, path, "", key)) return;
  if (!value) {
    RegDeleteValueA(key.get(), name);
    return;
  }
  RegSetValueExA(key.get(), name, 0, value->Type, reinterpret_cast<const BYTE*>(value->Data.data()),
                 static_cast<DWORD>(value->Data.size()));
}

inline const std::string kUserMouseKey = "Control Panel\\Mouse";
inline const std::string kModelKey = std::string(kModelKeyPath) + "\\" + kModelSubKey;

inline StoredValue Text(const std::string& text) { return {REG_SZ, text + '\0'}; }
inline StoredValue Number(int32_t value) {
  return {REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value)};
}

// The three values in the model key: each a number, or nothing.
inline void StoreDoubleClick(const std::array<std::optional<StoredValue>, 3>& values) {
  for (size_t i = 0; i < values.size(); ++i) WriteValue(HKEY_LOCAL_MACHINE, kModelKey, kDoubleClickNames[i], values[i]);
}
inline void StoreDoubleClick(const DoubleClickSettings& s) {
  StoreDoubleClick({Number(s.Speed), Number(s.Width), Number(s.Height)});
}
inline void ForgetDoubleClick() { StoreDoubleClick({std::nullopt, std::nullopt, std::nullopt}); }

inline std::array<std::optional<StoredValue>, 3> Values(HKEY root, const std::string& path) {
  std::array<std::optional<StoredValue>, 3> values;
  for (size_t i = 0; i < values.size(); ++i) values[i] = ReadValue(root, path, kDoubleClickNames[i]);
  return values;
}

// The user's mouse settings as text, speed, width and height ("(none)" for a missing value).
inline std::array<std::string, 3> UserTexts() {
  std::array<std::string, 3> texts{"(none)", "(none)", "(none)"};
  UniqueHKey key;
  if (!registry::OpenExistingKey(HKEY_CURRENT_USER, kUserMouseKey, key)) return texts;
  for (size_t i = 0; i < texts.size(); ++i) registry::ReadText(key.get(), kDoubleClickNames[i], texts[i]);
  return texts;
}
inline std::array<std::string, 3> Texts(const DoubleClickSettings& s) {
  return {std::to_string(s.Speed), std::to_string(s.Width), std::to_string(s.Height)};
}

class DoubleClickGuard {
 public:
  DoubleClickGuard()
      : windows_(WindowsDoubleClick()),
        user_(Values(HKEY_CURRENT_USER, kUserMouseKey)),
        model_(Values(HKEY_LOCAL_MACHINE, kModelKey)) {}
  ~DoubleClickGuard() {
    SetWindowsDoubleClick(windows_);
    for (size_t i = 0; i < user_.size(); ++i)
      WriteValue(HKEY_CURRENT_USER, kUserMouseKey, kDoubleClickNames[i], user_[i]);
    StoreDoubleClick(model_);
  }
  DoubleClickGuard(const DoubleClickGuard&) = delete;
  DoubleClickGuard& operator=(const DoubleClickGuard&) = delete;

 private:
  DoubleClickSettings windows_;
  std::array<std::optional<StoredValue>, 3> user_;
  std::array<std::optional<StoredValue>, 3> model_;
};

}  // namespace koral::test

namespace koral {
inline void PrintTo(const DoubleClickSettings& s, std::ostream* out) {
  *out << s.Speed << "/" << s.Width << "/" << s.Height;
}
}  // namespace koral
