#include "common/core/trusted_folders.h"

#include <gtest/gtest.h>

namespace koral {
namespace {

TEST(TrustedFolders, FolderOfAPath) {
  struct Case {
    const char* Path;
    const char* Folder;
  };
  for (const Case& c : {Case{"C:\\Program Files\\Touch\\KORALpao.exe", "C:\\Program Files\\Touch"},
                        Case{"C:/A/b.exe", "C:/A"}, Case{"C:\\b.exe", "C:"}, Case{"b.exe", ""}, Case{"", ""}})
    EXPECT_EQ(FolderOf(c.Path), c.Folder) << c.Path;
}

TEST(TrustedFolders, PathsCompareAsWindowsComparesThem) {
  struct Case {
    const char* A;
    const char* B;
    bool Same;
  };
  for (const Case& c : {Case{"C:\\Windows", "c:\\WINDOWS", true}, Case{"C:\\Windows\\", "C:\\Windows", true},
                        Case{"C:/Windows/System32", "C:\\Windows\\system32", true},
                        Case{"C:\\Windows", "C:\\Windows2", false}, Case{"C:\\Windows", "D:\\Windows", false},
                        Case{"C:\\Program Files\\T\\KORALprb.exe", "c:\\program files\\t\\KORALPrb.exe", true},
                        Case{"", "", true}, Case{"C:\\", "C:", true}})
    EXPECT_EQ(SamePath(c.A, c.B), c.Same) << c.A << " | " << c.B;
}

TEST(TrustedFolders, OnlyCompleteFoldersWithoutTricksAreUsable) {
  struct Case {
    const char* Folder;
    bool Usable;
  };
  for (const Case& c : {Case{"C:\\Program Files\\TouchScreen KR-PS2", true}, Case{"\\\\server\\share\\Touch", true},
                        Case{"C:\\A..B\\c", true}, Case{"C:\\...\\x", true}, Case{"", false},
                        Case{"Program Files\\Touch", false}, Case{"\\Touch", false}, Case{"C:Touch", false},
                        Case{"C:\\Touch\\..\\Users\\bob", false}, Case{"C:\\Touch\\..", false},
                        Case{"C:\\Touch\r\nD:\\x", false}, Case{"C:\\\"Touch\"", false}, Case{"C:\\T*", false},
                        Case{"C:\\Touch:stream", false}, Case{"\\\\\\server", false}})
    EXPECT_EQ(IsUsableFolder(c.Folder), c.Usable) << c.Folder;
}

TEST(TrustedFolders, LevelsFromTheRootDown) {
  using Levels = std::vector<std::string>;
  struct Case {
    const char* Folder;
    Levels Expected;
  };
  for (const Case& c : {Case{"C:\\Program Files\\Touch", {"C:\\", "C:\\Program Files", "C:\\Program Files\\Touch"}},
                        Case{"C:\\Touch\\", {"C:\\", "C:\\Touch"}}, Case{"C:\\A\\\\B", {"C:\\", "C:\\A", "C:\\A\\\\B"}},
                        Case{"\\\\server\\share\\Touch", {"\\\\server\\share\\", "\\\\server\\share\\Touch"}},
                        Case{"\\\\server\\share", {"\\\\server\\share\\"}}, Case{"\\\\server", {}},
                        Case{"Touch", {}}, Case{"C:\\A\\..\\B", {}}})
    EXPECT_EQ(FolderLevels(c.Folder), c.Expected) << c.Folder;
}

TEST(TrustedFolders, TheOwnFolderUnlessItIsTheWindowsFolder) {
  struct Case {
    const char* Name;
    const char* Own;
    const char* Location;
    const char* Trusted;
  };
  const char* windows = "C:\\windows";
  for (const Case& c : {
           Case{"a program in the installation folder", "C:\\Program Files\\Touch", "D:\\elsewhere",
                "C:\\Program Files\\Touch"},
           Case{"the copy in the Windows folder", "C:\\WINDOWS", "C:\\Program Files\\Touch", "C:\\Program Files\\Touch"},
           Case{"a trailing backslash of the entry", "C:\\windows\\", "C:\\Touch\\", "C:\\Touch"},
           Case{"no entry", "C:\\windows", "", ""},
           Case{"an entry that is no folder", "C:\\windows", "Touch", ""},
           Case{"an entry stepping out", "C:\\windows", "C:\\Touch\\..\\Users\\bob", ""},
           Case{"an entry naming the Windows folder", "C:\\windows", "c:\\Windows", ""},
       })
    EXPECT_EQ(TrustedInstallFolder(c.Own, windows, c.Location), c.Trusted) << c.Name;
}

}  // namespace
}  // namespace koral
