// What a key's access list grants the Users group, for the tests of the model key's access.
#pragma once

#include <windows.h>

#include <aclapi.h>

#include <string>

#include "common/win/registry.h"

namespace koral::test {

struct Dacl {
  int Entries = 0;
  int Granted = 0;  // allowed entries for the Users group on this key alone that let it set values
};

inline Dacl ReadDacl(HKEY root, const std::string& path) {
  Dacl result;
  const RegKey key = RegKey::Open(root, path, READ_CONTROL);
  if (!key) return result;
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(key.get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                      &descriptor) != ERROR_SUCCESS)
    return result;
  BYTE users[SECURITY_MAX_SID_SIZE] = {};
  DWORD size = sizeof users;
  CreateWellKnownSid(WinBuiltinUsersSid, nullptr, users, &size);
  constexpr DWORD kNeeded = KEY_QUERY_VALUE | KEY_SET_VALUE;
  constexpr DWORD kNotGiven = WRITE_DAC | WRITE_OWNER | DELETE | KEY_CREATE_SUB_KEY;
  constexpr BYTE kSpreads = CONTAINER_INHERIT_ACE | OBJECT_INHERIT_ACE | INHERITED_ACE;
  if (dacl != nullptr) {
    result.Entries = dacl->AceCount;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
      void* entry = nullptr;
      if (!GetAce(dacl, i, &entry)) continue;
      auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
      if (allowed->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && EqualSid(&allowed->SidStart, users) &&
          (allowed->Mask & kNeeded) == kNeeded && (allowed->Mask & kNotGiven) == 0 &&
          (allowed->Header.AceFlags & kSpreads) == 0)
        ++result.Granted;
    }
  }
  LocalFree(descriptor);
  return result;
}

}  // namespace koral::test
