// The setup finisher KORALpdi: run once at the end of an installation, it seeds the controller
// settings from "setup.ini", takes the vendor's name and style from "setup.oem", completes the
// driver's INF file, registers the touchscreen as the PS/2 mouse and restarts Windows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace koral::setup {

// A "setup.ini" key of section "Settings" against its range (kSettingEmpty, kSettingBelowRange,
// kSettingAboveRange or the value).
int32_t ReadIniSetting(const std::string& file, const char* key, int32_t minimum, int32_t maximum);

// Stores a seed in the key: byteCount 0 as REG_DWORD, 1, 2 or 4 as REG_BINARY of that many bytes.
// A failed write says "Fail to save settings! (<value name>)".
bool StoreSetting(HKEY key, const std::string& valueName, int32_t value, int byteCount);

// Seeds the model key from setup.ini in the installation folder (the finisher's own, Trusted());
// nothing without the file.
void ImportSetupIni();

// The vendor's name and style from setup.oem in the installation folder, into the profile and the model key;
// nothing without the file, and an empty text changes nothing.
void ApplyOemStrings();

// The INF file's strings and the mouse class registration; false after "Fail to config system
// registry!" when either is incomplete.
bool ConfigureMouseClass();

// The whole run, from the progress window to the restart request. Silent: no progress window.
// Without `restart` the run ends before the final message and the restart request. False when it
// ended early, without the profile.
bool RunSetupFinisher(bool silent, bool restart = true);

}  // namespace koral::setup
