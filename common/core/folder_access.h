// Whether a folder stays in administrators' hands: the setup puts programs there that run elevated
// and for every user, so no one else may change what is in it, change its security, or move it
// (and with it the path the installation is known by) out of the way. The owner and access lists
// are read by the caller (package/setup_helper.cpp) and judged here.
#pragma once

#include <cstdint>
#include <vector>

namespace koral {

// Whom an owner or an access entry names, as far as the judgement goes.
enum class Trustee : uint8_t {
  kSystem,
  kAdministrators,
  kInstaller,     // the system's installer service, which owns the system's own folders
  kCreatorOwner,  // stands for whoever creates a file inside: under an admin-only folder, an administrator
  kSetupUser,     // the administrator running the setup (only counted when the setup runs elevated)
  kOther,
};

struct AccessEntry {
  Trustee Who = Trustee::kOther;
  bool Allows = true;        // a deny entry only ever takes rights away
  bool InheritOnly = false;  // applies to what is created inside, not to the folder itself
  uint32_t Mask = 0;
};

struct FolderAccess {
  Trustee Owner = Trustee::kOther;  // an owner may always change the access list
  bool HasList = false;             // no access list at all lets everyone do everything
  std::vector<AccessEntry> Entries;
};

// Rights that change a folder's content or security: write or append data (add files and
// folders), write extended or plain attributes, delete children, delete, change the access list or
// the owner, and the generic rights that include them.
inline constexpr uint32_t kChangingRights = 0x00000002 | 0x00000004 | 0x00000010 | 0x00000040 | 0x00000100 |
                                            0x00010000 | 0x00040000 | 0x00080000 | 0x10000000 | 0x40000000;
// Rights that move a folder: delete (or rename) it, or change who may.
inline constexpr uint32_t kMovingRights = 0x00010000 | 0x00040000 | 0x00080000 | 0x10000000;
// Rights on a folder that move what is in it: delete children, or change who may.
inline constexpr uint32_t kChildMovingRights = 0x00000040 | 0x00040000 | 0x00080000 | 0x10000000;

// Only trusted owners and entries may change the folder or, through inheritance, the files put
// into it.
bool IsAdminOnly(const FolderAccess& folder);

// No one but the trusted may delete or rename `folder`, neither through its own list nor through
// its parent's (`parent`).
bool OthersCannotMove(const FolderAccess& folder, const FolderAccess& parent);

}  // namespace koral
