// The folders a program of the suite runs, writes and deletes in, from what no standard user can
// change (the rules, and why, are in common/core/trusted_folders.h). The model key's path values
// stay what the programs show and compare; nothing is started, written or deleted by them.
#pragma once

#include <string>

namespace koral {

struct TrustedFolders {
  std::string Install;  // empty when none can be trusted: nothing is run from it then
  std::string Windows;
  std::string System;
};

// What the system says, read afresh: the program's own folder, the Windows and system folders,
// and the location of the setup's entry of installed programs. A program's main reads them once
// and hands them to what starts, writes or deletes anything; tests hand their own.
TrustedFolders ReadTrustedFolders();

}  // namespace koral
