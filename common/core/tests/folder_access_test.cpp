#include "common/core/folder_access.h"

#include <gtest/gtest.h>

namespace koral {
namespace {

constexpr uint32_t kFullControl = 0x001F01FF;
constexpr uint32_t kModify = 0x001301BF;
constexpr uint32_t kReadAndExecute = 0x001200A9;
constexpr uint32_t kAddSubfolder = 0x00000004;
constexpr uint32_t kGenericAll = 0x10000000;

AccessEntry Allow(Trustee who, uint32_t mask, bool inheritOnly = false) { return {who, true, inheritOnly, mask}; }
AccessEntry Deny(Trustee who, uint32_t mask) { return {who, false, false, mask}; }

// Program Files as Windows sets it up.
const FolderAccess kProgramFiles{Trustee::kInstaller,
                                 true,
                                 {Allow(Trustee::kInstaller, kFullControl), Allow(Trustee::kSystem, kFullControl),
                                  Allow(Trustee::kAdministrators, kFullControl),
                                  Allow(Trustee::kOther, kReadAndExecute),  // Users
                                  Allow(Trustee::kCreatorOwner, kGenericAll, true)}};
// The system drive's root: users may make folders in it, and change what is below (not the root).
const FolderAccess kDriveRoot{Trustee::kInstaller,
                              true,
                              {Allow(Trustee::kSystem, kFullControl), Allow(Trustee::kAdministrators, kFullControl),
                               Allow(Trustee::kOther, kReadAndExecute), Allow(Trustee::kOther, kAddSubfolder),
                               Allow(Trustee::kOther, kModify, true)}};
// A folder an administrator made in the root: it inherits the users' right to modify.
const FolderAccess kMadeInRoot{Trustee::kAdministrators,
                               true,
                               {Allow(Trustee::kSystem, kFullControl), Allow(Trustee::kAdministrators, kFullControl),
                                Allow(Trustee::kOther, kModify)}};
// What the setup makes: a protected list of its own.
const FolderAccess kLocked{Trustee::kAdministrators,
                           true,
                           {Allow(Trustee::kSystem, kFullControl), Allow(Trustee::kAdministrators, kFullControl),
                            Allow(Trustee::kOther, kReadAndExecute)}};
// How Wine shows a folder of its one user (an administrator) with the usual Unix permissions.
const FolderAccess kWineFolder{Trustee::kSetupUser,
                               true,
                               {Allow(Trustee::kSystem, kFullControl), Allow(Trustee::kSetupUser, kFullControl),
                                Allow(Trustee::kOther, kReadAndExecute)}};

TEST(FolderAccess, OnlyTrustedOwnersAndEntriesMayChangeTheFolder) {
  struct Case {
    const char* Name;
    FolderAccess Folder;
    bool AdminOnly;
  };
  FolderAccess userOwned = kLocked;
  userOwned.Owner = Trustee::kOther;
  FolderAccess noList = kLocked;
  noList.HasList = false;
  FolderAccess inheritsToUsers = kLocked;
  inheritsToUsers.Entries.push_back(Allow(Trustee::kOther, kModify, true));
  FolderAccess deniedToUsers = kLocked;
  deniedToUsers.Entries.push_back(Deny(Trustee::kOther, kFullControl));
  FolderAccess usersMayAddFiles = kLocked;
  usersMayAddFiles.Entries.push_back(Allow(Trustee::kOther, 0x00000002));
  FolderAccess usersMayChangeSecurity = kLocked;
  usersMayChangeSecurity.Entries.push_back(Allow(Trustee::kOther, 0x00040000));
  FolderAccess wineOpen = kWineFolder;
  wineOpen.Entries.back().Mask = 0x001301FF;
  for (const Case& c : {Case{"Program Files", kProgramFiles, true}, Case{"what the setup makes", kLocked, true},
                        Case{"a folder of Wine's administrator", kWineFolder, true},
                        Case{"made in the drive's root", kMadeInRoot, false},
                        Case{"owned by a user", userOwned, false}, Case{"without an access list", noList, false},
                        Case{"files made inside would be the users'", inheritsToUsers, false},
                        Case{"a deny entry takes nothing away from the judgement", deniedToUsers, true},
                        Case{"users may add files", usersMayAddFiles, false},
                        Case{"users may change its security", usersMayChangeSecurity, false},
                        Case{"Wine's folder open to everyone", wineOpen, false}})
    EXPECT_EQ(IsAdminOnly(c.Folder), c.AdminOnly) << c.Name;
}

TEST(FolderAccess, OnlyTheTrustedMayMoveTheFolderAway) {
  struct Case {
    const char* Name;
    FolderAccess Folder, Parent;
    bool Fixed;
  };
  FolderAccess parentLetsUsersDeleteChildren = kLocked;
  parentLetsUsersDeleteChildren.Entries.push_back(Allow(Trustee::kOther, 0x00000040));
  FolderAccess userOwnedParent = kLocked;
  userOwnedParent.Owner = Trustee::kOther;
  for (const Case& c : {Case{"ours under Program Files", kLocked, kProgramFiles, true},
                        Case{"ours in the drive's root", kLocked, kDriveRoot, true},
                        Case{"an administrator's folder in the root", kMadeInRoot, kDriveRoot, false},
                        Case{"ours under that folder", kLocked, kMadeInRoot, true},
                        Case{"under a parent that lets users delete children", kLocked, parentLetsUsersDeleteChildren,
                             false},
                        Case{"under a user's folder", kLocked, userOwnedParent, false},
                        Case{"under Wine", kWineFolder, kWineFolder, true}})
    EXPECT_EQ(OthersCannotMove(c.Folder, c.Parent), c.Fixed) << c.Name;
}

}  // namespace
}  // namespace koral
