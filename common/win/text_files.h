// Small text files that administrators hand to the suite's programs on their command lines, and
// the lines those programs, which have no console of their own, write back about them.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace koral {

// The first `limit` bytes of a file (all of it when it is shorter); on failure Problem says why,
// after the path: "C:\a.ini: no such file", "...: is a folder", "...: cannot be read (error 5: ...)".
struct FileBytes {
  bool Read = false;
  std::string Bytes;
  std::string Problem;
};
FileBytes ReadFileStart(const std::string& path, size_t limit);

// Puts `text` in the place of the file's content: written into a new file beside it first, which
// then replaces it, so that a write that fails leaves the old file as it was. Empty when done;
// otherwise what failed, after the path.
std::string ReplaceFileContent(const std::string& path, const std::string& text);

// "error 5: Access is denied." for a Win32 error code.
std::string Win32ErrorText(DWORD error);

// Writes one line (CR LF added) to the program's standard error when it was given one (started
// with a redirection or a pipe), or else to the console of the process that started it (a
// command prompt that waits for it). A program started without either has nowhere to write;
// its exit code still tells. False when the line went nowhere.
bool WriteErrorLine(const std::string& line);

}  // namespace koral
