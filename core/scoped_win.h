// Scope guards for the Win32 objects the program and its libraries open, so
// that every path out of an operation closes what it opened; and resolving an
// entry point of a library loaded at run time against its real prototype.
#pragma once

#include <windows.h>

// One guard per kind of object, all alike: Get() hands the object out, Out()
// is the destination for a call that opens one, IsValid() tells whether one
// is held. Copying is deleted, so no object is ever closed twice.
template <typename Traits>
class Scoped {
 public:
  using Handle = typename Traits::Handle;

  Scoped() = default;
  explicit Scoped(Handle handle) : handle_(handle) {}
  ~Scoped() { Close(); }
  Scoped(const Scoped&) = delete;
  Scoped& operator=(const Scoped&) = delete;

  Handle Get() const { return handle_; }
  bool IsValid() const { return Traits::IsValid(handle_); }
  // Closes what is held, then lends the slot to a call that opens a new one.
  Handle* Out() {
    Close();
    return &handle_;
  }
  void Close() { Reset(Traits::None()); }
  // Closes what is held and takes handle over.
  void Reset(Handle handle) {
    if (IsValid()) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = Traits::None();
};

struct KeyTraits {
  using Handle = HKEY;
  static HKEY None() { return nullptr; }
  static bool IsValid(HKEY key) { return key != nullptr; }
  static void Close(HKEY key) { RegCloseKey(key); }
};

struct LibraryTraits {
  using Handle = HMODULE;
  static HMODULE None() { return nullptr; }
  static bool IsValid(HMODULE library) { return library != nullptr; }
  static void Close(HMODULE library) { FreeLibrary(library); }
};

// Kernel handles: the platform answers a failed open with null or with
// INVALID_HANDLE_VALUE depending on the call, so both mean none.
struct HandleTraits {
  using Handle = HANDLE;
  static HANDLE None() { return nullptr; }
  static bool IsValid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE handle) { CloseHandle(handle); }
};

struct FindTraits {
  using Handle = HANDLE;
  static HANDLE None() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HANDLE find) { return find != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE find) { FindClose(find); }
};

// Bitmaps, brushes and the other GDI objects; a bitmap must not be selected
// into a device context when its guard closes it.
struct GdiObjectTraits {
  using Handle = HGDIOBJ;
  static HGDIOBJ None() { return nullptr; }
  static bool IsValid(HGDIOBJ object) { return object != nullptr; }
  static void Close(HGDIOBJ object) { DeleteObject(object); }
};

struct IconTraits {
  using Handle = HICON;
  static HICON None() { return nullptr; }
  static bool IsValid(HICON icon) { return icon != nullptr; }
  static void Close(HICON icon) { DestroyIcon(icon); }
};

struct MenuTraits {
  using Handle = HMENU;
  static HMENU None() { return nullptr; }
  static bool IsValid(HMENU menu) { return menu != nullptr; }
  static void Close(HMENU menu) { DestroyMenu(menu); }
};

using ScopedKey = Scoped<KeyTraits>;
using ScopedLibrary = Scoped<LibraryTraits>;
using ScopedHandle = Scoped<HandleTraits>;
using ScopedFind = Scoped<FindTraits>;
using ScopedGdiObject = Scoped<GdiObjectTraits>;
using ScopedIcon = Scoped<IconTraits>;
using ScopedMenu = Scoped<MenuTraits>;

// Holds a slim reader/writer lock exclusively for its scope.
class ScopedExclusiveLock {
 public:
  explicit ScopedExclusiveLock(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
  ~ScopedExclusiveLock() { ReleaseSRWLockExclusive(&lock_); }
  ScopedExclusiveLock(const ScopedExclusiveLock&) = delete;
  ScopedExclusiveLock& operator=(const ScopedExclusiveLock&) = delete;

 private:
  SRWLOCK& lock_;
};

// Stores the address of the library's entry point called name in slot, which
// has the type of the entry point's declared prototype, so that a wrong
// signature fails to compile instead of crashing. False, and the slot left as
// it is, when the library does not export the name.
template <typename EntryPoint>
bool ResolveEntryPoint(HMODULE library, const char* name, EntryPoint* slot) {
  const FARPROC address = GetProcAddress(library, name);
  if (address == nullptr) return false;
  // Through void (*)(), the one function pointer type GCC's cast check
  // accepts from FARPROC.
  *slot = reinterpret_cast<EntryPoint>(reinterpret_cast<void (*)()>(address));
  return true;
}
