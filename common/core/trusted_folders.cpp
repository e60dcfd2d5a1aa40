#include "common/core/trusted_folders.h"

namespace koral {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char Folded(char c) {
  if (c == '/') return '\\';
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view WithoutTrailingSeparators(std::string_view path) {
  while (!path.empty() && IsSeparator(path.back())) path.remove_suffix(1);
  return path;
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

std::string FolderOf(std::string_view path) {
  const size_t last = path.find_last_of("\\/");
  return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last));
}

bool SamePath(std::string_view a, std::string_view b) {
  a = WithoutTrailingSeparators(a);
  b = WithoutTrailingSeparators(b);
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Folded(a[i]) != Folded(b[i])) return false;
  return true;
}

bool IsUsableFolder(std::string_view folder) {
  const bool drive = folder.size() >= 3 && IsLetter(folder[0]) && folder[1] == ':' && IsSeparator(folder[2]);
  const bool share = folder.size() >= 3 && IsSeparator(folder[0]) && IsSeparator(folder[1]) && !IsSeparator(folder[2]);
  if (!drive && !share) return false;
  for (const char c : folder)
    if (static_cast<unsigned char>(c) < 0x20 || c == '"' || c == '*' || c == '?' || c == '<' || c == '>' || c == '|')
      return false;
  if (folder.find(':', 2) != std::string_view::npos) return false;  // no second drive, no stream
  // A ".." step anywhere: between separators or at the end.
  for (size_t at = folder.find(".."); at != std::string_view::npos; at = folder.find("..", at + 1)) {
    const bool startsStep = IsSeparator(folder[at - 1]);
    const bool endsStep = at + 2 == folder.size() || IsSeparator(folder[at + 2]);
    if (startsStep && endsStep) return false;
  }
  return true;
}

std::vector<std::string> FolderLevels(std::string_view folder) {
  if (!IsUsableFolder(folder)) return {};
  folder = WithoutTrailingSeparators(folder);
  // The root: "C:\" or "\\server\share\".
  size_t end = 3;
  if (IsSeparator(folder[0])) {
    const size_t server = folder.find_first_of("\\/", 2);
    if (server == std::string_view::npos || server + 1 >= folder.size()) return {};
    const size_t share = folder.find_first_of("\\/", server + 1);
    end = share == std::string_view::npos ? folder.size() : share + 1;
  }
  std::vector<std::string> levels{std::string(folder.substr(0, end))};
  if (!IsSeparator(levels.back().back())) levels.back() += '\\';
  for (size_t at = end; at < folder.size();) {
    size_t next = folder.find_first_of("\\/", at);
    if (next == std::string_view::npos) next = folder.size();
    if (next > at) levels.emplace_back(folder.substr(0, next));
    at = next + 1;
  }
  return levels;
}

std::string TrustedInstallFolder(std::string_view ownFolder, std::string_view windowsFolder,
                                 std::string_view installLocation) {
  if (!SamePath(ownFolder, windowsFolder)) return std::string(ownFolder);
  const std::string_view location = WithoutTrailingSeparators(installLocation);
  if (!IsUsableFolder(location) || SamePath(location, windowsFolder)) return {};
  return std::string(location);
}

}  // namespace koral
