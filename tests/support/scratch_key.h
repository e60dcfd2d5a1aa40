// A registry key of the current user's for one test: the given path with the process's id
// appended, so that tests running side by side never share it; emptied when made, removed with
// its sub-keys when the test ends.
#pragma once

#include <windows.h>

#include <string>

#include "common/win/registry.h"

namespace koral::test {

class ScratchKey {
 public:
  explicit ScratchKey(const std::string& path) : path_(path + "\\" + std::to_string(GetCurrentProcessId())) {
    registry::DeleteKey(HKEY_CURRENT_USER, path_);
    registry::OpenKey(HKEY_CURRENT_USER, path_, "", key_);
  }
  ~ScratchKey() {
    key_.reset();
    registry::DeleteKey(HKEY_CURRENT_USER, path_);
  }
  ScratchKey(const ScratchKey&) = delete;
  ScratchKey& operator=(const ScratchKey&) = delete;

  explicit operator bool() const { return static_cast<bool>(key_); }
  HKEY get() const { return key_.get(); }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  UniqueHKey key_;
};

}  // namespace koral::test
