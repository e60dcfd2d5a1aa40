// Thin registry layer. Every operation reports success as a bool and never throws; a failed
// read leaves the caller's variable as it was. Where Windows NT (and Wine) differ from the
// Windows 98 behaviour the suite was designed on, these give the Windows 98 behaviour.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/win/handles.h"

namespace koral::registry {

// "HKEY_CLASSES_ROOT" ... "HKEY_USERS" for the four predefined roots, "" for any other.
std::string RootKeyName(HKEY root);

// Opens key path + "\" + sub-key (a leading "\" of the sub-key is dropped; an empty sub-key
// means the key path alone), creating missing levels. Fails at once for an empty key path.
bool OpenKey(HKEY root, const std::string& keyPath, const std::string& subKey, UniqueHKey& key);
// Opens an existing key without creating it.
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
