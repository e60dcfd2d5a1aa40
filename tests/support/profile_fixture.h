// Registry set-up shared by the Wine tests: the development profile in the model key.
#pragma once

#include <string>

namespace koral::test {

// Writes the six profile values into the model key, InstallPath naming `installPath` (and
// WindowsPath `windowsPath`).
bool WriteDevelopmentProfile(const std::string& installPath, const std::string& windowsPath = "C:\\windows");
// Removes the model key and everything under it.
bool RemoveModelKey();

}  // namespace koral::test
