// A stand-in for the installation's file remover "unins000.exe", which the uninstaller starts and
// waits for. It removes nothing; it records how it was started and takes as long as it is told:
//
//   unins000.exe /SILENT
//
// Beside itself it appends to "unins000.log" the line "started <its whole command line>", waits
// the whole seconds given in "unins000.ini" (section [StandIn], key Seconds; 0 when missing),
// appends "ended" and ends with the exit code given there (key ExitCode; a remover that could not
// do its work), or else 0, or 1 when "/SILENT" was not among its arguments.
#include <windows.h>

#include <string>

namespace {

std::string Beside(const char* name) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

void Log(const std::string& line) {
  const HANDLE file = CreateFileA(Beside("unins000.log").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string text = line + "\r\n";
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

bool SilentOption(const char* arguments) {
  std::string upper(arguments ? arguments : "");
  for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  const auto at = upper.find("/SILENT");
  if (at == std::string::npos) return false;
  const auto end = at + 7;
  return (at == 0 || upper[at - 1] == ' ') && (end == upper.size() || upper[end] == ' ');
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
  Log(std::string("started ") + GetCommandLineA());
  const UINT seconds = GetPrivateProfileIntA("StandIn", "Seconds", 0, Beside("unins000.ini").c_str());
  Sleep(seconds * 1000);
  Log("ended");
  const UINT exitCode = GetPrivateProfileIntA("StandIn", "ExitCode", 0, Beside("unins000.ini").c_str());
  if (exitCode != 0) return static_cast<int>(exitCode);
  return SilentOption(arguments) ? 0 : 1;
}
