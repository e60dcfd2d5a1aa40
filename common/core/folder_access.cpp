#include "common/core/folder_access.h"

#include <algorithm>

namespace koral {
namespace {

bool Trusted(Trustee who) { return who != Trustee::kOther; }
bool TrustedOwner(Trustee who) { return Trusted(who) && who != Trustee::kCreatorOwner; }

// No untrusted entry grants any of `rights`; with `inherited`, entries for what is created inside
// count too.
bool NoOtherGets(const FolderAccess& folder, uint32_t rights, bool inherited) {
  if (!TrustedOwner(folder.Owner) || !folder.HasList) return false;
  return std::none_of(folder.Entries.begin(), folder.Entries.end(), [&](const AccessEntry& entry) {
    return entry.Allows && !Trusted(entry.Who) && (entry.Mask & rights) != 0 && (inherited || !entry.InheritOnly);
  });
}

}  // namespace

bool IsAdminOnly(const FolderAccess& folder) { return NoOtherGets(folder, kChangingRights, true); }

bool OthersCannotMove(const FolderAccess& folder, const FolderAccess& parent) {
  return NoOtherGets(folder, kMovingRights, false) && NoOtherGets(parent, kChildMovingRights, false);
}

}  // namespace koral
