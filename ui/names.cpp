#include "ui/names.h"

namespace koral::ui {

bool AttachName(HWND window, const std::string& name) {
  const ATOM atom = GlobalAddAtomA(name.c_str());
  if (atom == 0) return false;
  if (!SetPropA(window, kNameProperty, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(atom)))) {
    GlobalDeleteAtom(atom);
    return false;
  }
  return true;
}

void DetachName(HWND window) {
  const auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(RemovePropA(window, kNameProperty)));
  if (atom != 0) GlobalDeleteAtom(atom);
}

std::string NameOf(HWND window) {
  const auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropA(window, kNameProperty)));
  if (atom == 0) return {};
  char buffer[256] = {};
  const UINT length = GlobalGetAtomNameA(atom, buffer, sizeof buffer);
  return std::string(buffer, length);
}

HWND FindNamedChild(HWND root, const std::string& name) {
  struct Search {
    const std::string* Name;
    HWND Found;
  } search{&name, nullptr};
  EnumChildWindows(
      root,
      [](HWND child, LPARAM context) -> BOOL {
        auto* s = reinterpret_cast<Search*>(context);
        if (NameOf(child) != *s->Name) return TRUE;
        s->Found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

}  // namespace koral::ui
