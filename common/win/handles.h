// Move-only owners for the kernel, registry, service and GDI handles the suite holds.
#pragma once

#include <windows.h>

#include <utility>

namespace koral {

template <typename T, typename Traits>
class UniqueResource {
 public:
  UniqueResource() = default;
  explicit UniqueResource(T value) : value_(value) {}
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~UniqueResource() { reset(); }

  T get() const { return value_; }
  explicit operator bool() const { return Traits::Valid(value_); }
  T release() { return std::exchange(value_, Traits::Empty()); }
  // Closes what is held; returns the close call's result (true when nothing was held).
  bool reset(T value = Traits::Empty()) {
    bool ok = true;
    if (Traits::Valid(value_)) ok = Traits::Close(value_);
    value_ = value;
    return ok;
  }

 private:
  T value_ = Traits::Empty();
};

// Kernel handles come back as NULL from some calls and as INVALID_HANDLE_VALUE from others.
struct KernelHandleTraits {
  static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
  static bool Valid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static bool Close(HANDLE h) { return CloseHandle(h) != 0; }
};
struct RegistryKeyTraits {
  static HKEY Empty() { return nullptr; }
  static bool Valid(HKEY k) { return k != nullptr; }
  static bool Close(HKEY k) { return RegCloseKey(k) == ERROR_SUCCESS; }
};
struct ServiceHandleTraits {
  static SC_HANDLE Empty() { return nullptr; }
  static bool Valid(SC_HANDLE h) { return h != nullptr; }
  static bool Close(SC_HANDLE h) { return CloseServiceHandle(h) != 0; }
};
struct GdiObjectTraits {
  static HGDIOBJ Empty() { return nullptr; }
  static bool Valid(HGDIOBJ h) { return h != nullptr; }
  static bool Close(HGDIOBJ h) { return DeleteObject(h) != 0; }
};

// Memory device contexts (CreateCompatibleDC); window DCs are released, not deleted.
struct MemoryDcTraits {
  static HDC Empty() { return nullptr; }
  static bool Valid(HDC dc) { return dc != nullptr; }
  static bool Close(HDC dc) { return DeleteDC(dc) != 0; }
};

// Icons loaded at a size of our own (LoadImage without LR_SHARED) are destroyed by their owner.
struct IconTraits {
  static HICON Empty() { return nullptr; }
  static bool Valid(HICON icon) { return icon != nullptr; }
  static bool Close(HICON icon) { return DestroyIcon(icon) != 0; }
};

using UniqueHandle = UniqueResource<HANDLE, KernelHandleTraits>;
using UniqueHKey = UniqueResource<HKEY, RegistryKeyTraits>;
using UniqueServiceHandle = UniqueResource<SC_HANDLE, ServiceHandleTraits>;
using UniqueGdiObject = UniqueResource<HGDIOBJ, GdiObjectTraits>;
using UniqueMemoryDC = UniqueResource<HDC, MemoryDcTraits>;
using UniqueIcon = UniqueResource<HICON, IconTraits>;

}  // namespace koral
