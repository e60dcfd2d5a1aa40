// The setup finisher KORALpdi: run once at the end of an installation, it seeds the controller
// settings from "setup.ini", takes the vendor's name and style from "setup.oem", completes the
// driver's INF file, registers the touchscreen as the PS/2 mouse and restarts Windows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/win/profile.h"
#include "common/win/trusted_folders.h"
#include "forms/frmMessage.h"

namespace koral::setup {

// A "setup.ini" key of section "Settings" against its range (kSettingEmpty, kSettingBelowRange,
// kSettingAboveRange or the value).
int32_t ReadIniSetting(const std::string& file, const char* key, int32_t minimum, int32_t maximum);

// Stores a seed in the key: byteCount 0 as REG_DWORD, 1, 2 or 4 as REG_BINARY of that many bytes.
// A failed write says "Fail to save settings! (<value name>)".
bool StoreSetting(HKEY key, const std::string& valueName, int32_t value, int byteCount);

// The finisher runs elevated: its files come from the trusted installation folder (its own), the
// INF file goes to the system's Windows folder, never where the model key's paths point.

// Seeds the model key (at `where`) from setup.ini in `installFolder`; nothing without the file or
// without a folder.
void ImportSetupIni(const std::string& installFolder, const RegistryLocation& where = {});

// The vendor's name and style from setup.oem in `installFolder`, into the profile and the model
// key; nothing without the file, and an empty text changes nothing.
void ApplyOemStrings(const std::string& installFolder, InstallationProfile& profile, const RegistryLocation& where = {});

// The INF file's strings and the mouse class registration; false after "Fail to config system
// registry!" when either is incomplete. A registration that could not be written whole is taken
// away again rather than left half written.
bool ConfigureMouseClass(const TrustedFolders& trusted);

// The whole run, from the progress window to the restart request. Silent: no progress window.
// The last message says that the setup has finished only when the registry was configured.
// Without `restart` the run ends before the final message and the restart request. False when it
// ended early, without the profile, or the registry could not be configured.
bool RunSetupFinisher(const TrustedFolders& trusted, frmMessage& progress, bool silent, bool restart = true);

}  // namespace koral::setup
