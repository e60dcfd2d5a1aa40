// Thin registry layer. Every operation reports success as a bool and never throws; a failed
// read leaves the caller's variable as it was. Where Windows NT (and Wine) differ from the
// Windows 98 behaviour the suite was designed on, these give the Windows 98 behaviour.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/win/handles.h"

namespace koral {

// An open registry key, closed when its owner goes (move-only, as the owners of handles.h). The
// suite opens every key through it: with the access it needs, or with the most the caller may
// have. Reads and writes are typed as the registry layer below reads and writes them: a failed
// read leaves the caller's variable as it was, and an empty key fails every one.
class RegKey {
 public:
  RegKey() = default;

  // Opens `keyPath` + "\" + `subKey` (a leading "\" of the sub-key is dropped; an empty sub-key
  // means the key path alone), creating missing levels. An empty key path opens nothing.
  static RegKey Create(HKEY root, const std::string& keyPath, const std::string& subKey = "",
                       REGSAM access = MAXIMUM_ALLOWED);
  // Opens an existing key, creating nothing.
  static RegKey Open(HKEY root, const std::string& path, REGSAM access = MAXIMUM_ALLOWED);

  explicit operator bool() const { return static_cast<bool>(key_); }
  HKEY get() const { return key_.get(); }
  // The Win32 error of the opening; ERROR_SUCCESS when the key is open.
  LSTATUS Error() const { return error_; }
  // Gives up the key without closing it.
  HKEY release() {
    error_ = ERROR_INVALID_HANDLE;
    return key_.release();
  }
  // Closes the key; false when none was open.
  bool Close();

  // The value exists, whatever its type.
  bool Has(const std::string& name) const;
  bool ReadNumber(const std::string& name, int32_t& value) const;
  bool ReadText(const std::string& name, std::string& value) const;
  bool WriteNumber(const std::string& name, int32_t value);
  bool WriteText(const std::string& name, const std::string& value);
  bool WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes);
  // The names of the sub-keys, in the registry's order, up to the first that cannot be read.
  std::vector<std::string> SubKeyNames() const;

 private:
  RegKey(HKEY key, LSTATUS error) : key_(key), error_(error) {}
  UniqueHKey key_;
  LSTATUS error_ = ERROR_INVALID_HANDLE;
};

}  // namespace koral

// What RegKey's reads and writes do, on any open key, and the opening of keys into a bare owner.
namespace koral::registry {

// "HKEY_CLASSES_ROOT" ... "HKEY_USERS" for the four predefined roots, "" for any other.
std::string RootKeyName(HKEY root);

// RegKey::Create and RegKey::Open, into `key`.
bool OpenKey(HKEY root, const std::string& keyPath, const std::string& subKey, UniqueHKey& key);
bool OpenExistingKey(HKEY root, const std::string& path, UniqueHKey& key);
bool CloseKey(UniqueHKey& key);

// True when the value exists, whatever its type.
bool HasValue(HKEY key, const std::string& name);
// A REG_DWORD of exactly four bytes only (DecodeNumber).
bool ReadNumber(HKEY key, const std::string& name, int32_t& value);
// REG_SZ only; the text ends at the first NUL (DecodeText).
bool ReadText(HKEY key, const std::string& name, std::string& value);
bool WriteNumber(HKEY key, const std::string& name, int32_t value);
bool WriteText(HKEY key, const std::string& name, const std::string& value);
bool WriteBytes(HKEY key, const std::string& name, const std::vector<uint8_t>& bytes);
// Removes the key with all its sub-keys, as Windows 98's RegDeleteKey did.
bool DeleteKey(HKEY root, const std::string& path);

}  // namespace koral::registry
