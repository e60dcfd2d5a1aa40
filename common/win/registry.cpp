#include "common/win/registry.h"

#include "common/core/registry_value.h"

namespace koral {

RegKey RegKey::Create(HKEY root, const std::string& keyPath, const std::string& subKey, REGSAM access) {
  if (keyPath.empty()) return RegKey(nullptr, ERROR_INVALID_PARAMETER);
  std::string sub = subKey;
  if (!sub.empty() && sub.front() == '\\') sub.erase(0, 1);
  const std::string path = sub.empty() ? keyPath : keyPath + "\\" + sub;
  HKEY opened = nullptr;
  const LSTATUS error = RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                        &opened, nullptr);
  return RegKey(error == ERROR_SUCCESS ? opened : nullptr, error);
}

RegKey RegKey::Open(HKEY root, const std::string& path, REGSAM access) {
  HKEY opened = nullptr;
  const LSTATUS error = RegOpenKeyExA(root, path.c_str(), 0, access, &opened);
  return RegKey(error == ERROR_SUCCESS ? opened : nullptr, error);
}

bool RegKey::Close() {
  error_ = ERROR_INVALID_HANDLE;
  return registry::CloseKey(key_);
}

bool RegKey::Has(const std::string& name) const { return key_ && registry::HasValue(get(), name); }
bool RegKey::ReadNumber(const std::string& name, int32_t& value) const {
  return key_ && registry::ReadNumber(get(), name, value);
}
bool RegKey::ReadText(const std::string& name, std::string& value) const {
  return key_ && registry::ReadText(get(), name, value);
}
bool RegKey::WriteNumber(const std::string& name, int32_t value) {
  return key_ && registry::WriteNumber(get(), name, value);
}
bool RegKey::WriteText(const std::string& name, const std::string& value) {
  return key_ && registry::WriteText(get(), name, value);
}
bool RegKey::WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
  return key_ && registry::WriteBytes(get(), name, bytes);
}

std::vector<std::string> RegKey::SubKeyNames() const {
  std::vector<std::string> names;
  if (!key_) return names;
  char name[256];
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof name;
    if (RegEnumKeyExA(get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

}  // namespace koral

namespace koral::registry {

std::string RootKeyName(HKEY root) {
  if (root == HKEY_CLASSES_ROOT) return "HKEY_CLASSES_ROOT";
  if (root == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
  if (root == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
  if (root == HKEY_USERS) return "HKEY_USERS";
  return {};
}

bool OpenKey(HKEY root, const std::string& keyPath, const std::string& subKey, UniqueHKey& key) {
  RegKey opened = RegKey::Create(root, keyPath, subKey);
  if (!opened) return false;
  key.reset(opened.release());
  return true;
}

bool OpenExistingKey(HKEY root, const std::string& path, UniqueHKey& key) {
  RegKey opened = RegKey::Open(root, path);
  if (!opened) return false;
  key.reset(opened.release());
  return true;
}

bool CloseKey(UniqueHKey& key) { return key && key.reset(); }

bool HasValue(HKEY key, const std::string& name) {
  return RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool ReadNumber(HKEY key, const std::string& name, int32_t& value) {
  DWORD type = 0;
  char data[4] = {};
  DWORD size = sizeof data;
  // A value longer than a number fails here (ERROR_MORE_DATA); a shorter one is refused below.
  if (RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
    return false;
  const auto number = DecodeNumber(type, std::string_view(data, size < sizeof data ? size : sizeof data));
  if (!number) return false;
  value = *number;
  return true;
}

bool ReadText(HKEY key, const std::string& name, std::string& value) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return false;
  std::string buffer(size, ' ');
  DWORD got = size;
  if (RegQueryValueExA(key, name.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(buffer.data()), &got) != ERROR_SUCCESS)
    return false;
  buffer.resize(got < size ? got : size);
  auto text = DecodeText(type, buffer);
  if (!text) return false;
  value = std::move(*text);
  return true;
}

bool WriteNumber(HKEY key, const std::string& name, int32_t value) {
  const DWORD data = static_cast<DWORD>(value);
  return RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                        sizeof data) == ERROR_SUCCESS;
}

bool WriteText(HKEY key, const std::string& name, const std::string& value) {
  return RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool WriteBytes(HKEY key, const std::string& name, const std::vector<uint8_t>& bytes) {
  return RegSetValueExA(key, name.c_str(), 0, REG_BINARY, bytes.data(),
                        static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

// RegDeleteTreeA rather than the shell's helper: one system DLL fewer for every program to load.
bool DeleteKey(HKEY root, const std::string& path) {
  if (path.empty()) return false;
  return RegDeleteTreeA(root, path.c_str()) == ERROR_SUCCESS;
}

}  // namespace koral::registry
