#include "common/win/text_files.h"

#include "common/win/handles.h"

namespace koral {
namespace {

std::string PathProblem(const std::string& path, DWORD error, const char* doing) {
  if (error == ERROR_FILE_NOT_FOUND) return path + ": no such file";
  if (error == ERROR_PATH_NOT_FOUND) return path + ": no such folder";
  return path + ": " + doing + " (" + Win32ErrorText(error) + ")";
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Where the lines go, found once: the standard error handle given, or the starting console.
HANDLE ErrorOutput() {
  static const HANDLE output = [] {
    const HANDLE given = GetStdHandle(STD_ERROR_HANDLE);
    if (given != nullptr && given != INVALID_HANDLE_VALUE && GetFileType(given) != FILE_TYPE_UNKNOWN) return given;
    // Windows gives a windowed program no console, Wine attaches it to its starter's; either way
    // the console is there after this call, when the starter has one.
    AttachConsole(ATTACH_PARENT_PROCESS);
    // Kept open for the rest of the process: the lines may come at any time until it ends.
    return CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                       nullptr);
  }();
  return output;
}

}  // namespace

std::string Win32ErrorText(DWORD error) {
  char text[256] = {};
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                sizeof text, nullptr);
  while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' ')) --length;
  std::string result = "error " + std::to_string(error);
  if (length > 0) result += ": " + std::string(text, length);
  return result;
}

FileBytes ReadFileStart(const std::string& path, size_t limit) {
  FileBytes result;
  if (IsFolder(path)) {
    result.Problem = path + ": is a folder";
    return result;
  }
  const UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    result.Problem = PathProblem(path, GetLastError(), "cannot be opened");
    return result;
  }
  result.Bytes.resize(limit);
  size_t filled = 0;
  while (filled < limit) {
    DWORD got = 0;
    const auto asked = static_cast<DWORD>(std::min<size_t>(limit - filled, 1 << 20));
    if (!ReadFile(file.get(), result.Bytes.data() + filled, asked, &got, nullptr)) {
      result.Problem = PathProblem(path, GetLastError(), "cannot be read");
      result.Bytes.clear();
      return result;
    }
    if (got == 0) break;
    filled += got;
  }
  result.Bytes.resize(filled);
  result.Read = true;
  return result;
}

std::string ReplaceFileContent(const std::string& path, const std::string& text) {
  if (IsFolder(path)) return path + ": is a folder";
  // Windows refuses to replace a read-only file, Wine does not: both refuse it here.
  if (const DWORD attributes = GetFileAttributesA(path.c_str());
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
    return path + ": cannot be written (it is read-only)";
  const std::string fresh = path + ".new~";
  {
    const UniqueHandle file(
        CreateFileA(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return PathProblem(path, GetLastError(), "cannot be written");
    DWORD written = 0;
    const bool whole = WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                       written == text.size() && FlushFileBuffers(file.get());
    if (!whole) {
      const DWORD error = GetLastError();
      DeleteFileA(fresh.c_str());
      return PathProblem(path, error, "cannot be written");
    }
  }
  if (!MoveFileExA(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD error = GetLastError();
    DeleteFileA(fresh.c_str());
    return PathProblem(path, error, "cannot be written");
  }
  return {};
}

bool WriteErrorLine(const std::string& line) {
  const HANDLE output = ErrorOutput();
  if (output == nullptr || output == INVALID_HANDLE_VALUE) return false;
  const std::string text = line + "\r\n";
  DWORD written = 0;
  return WriteFile(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
}

}  // namespace koral
