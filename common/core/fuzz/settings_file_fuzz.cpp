// libFuzzer target: the check of a settings file before an import or an installation takes it.
// Whatever the bytes, the check ends, names every problem on one line of its own, and what it
// takes reads back as itself.
//
// Input: the file's bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "common/core/settings_file.h"

namespace {

using namespace koral;

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "settings file invariant broken: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const SettingsFileCheck check = CheckSettingsFile("f.ini", bytes);
  for (const std::string& problem : check.Problems) {
    Require(problem.rfind("f.ini:", 0) == 0, "a problem names the file first");
    for (char c : problem) Require(c >= 0x20 && c < 0x7F, "a problem is one printable line");
  }
  if (!check.Accepted()) {
    Require(check.Values == SettingsValues{}, "a refused file gives no values");
    return 0;
  }
  bool any = false;
  for (size_t i = 0; i < kSetupIniKeyCount; ++i) {
    if (!check.Values[i]) continue;
    any = true;
    Require(*check.Values[i] >= kSetupIniKeys[i].Minimum && *check.Values[i] <= kSetupIniKeys[i].Maximum,
            "every value taken is in its range");
  }
  Require(any, "a file taken carries a setting");

  const SettingsFileCheck again = CheckSettingsFile("f.ini", SettingsFileText(check.Values));
  Require(again.Accepted() && again.Values == check.Values, "the values taken, written out, read back as themselves");

  ParamBlock block;
  std::memset(&block, 0x5A, sizeof block);
  PutIntoBlock(check.Values, block);
  PcSettings pc;
  pc.Block = block;
  const ExportedSettings exported = ExportedValues(pc);
  for (size_t i = 0; i < kSetupIniKeyCount; ++i)
    if (check.Values[i] && kSetupIniKeys[i].BlockOffset != kNotInBlock)
      Require(exported.Values[i] == check.Values[i], "a value put into the block is exported as itself");
  for (const SeedStore& store : SeedStoresOf(check.Values))
    Require(store.Value >= 0, "seeds are made of values in range");
  return 0;
}
