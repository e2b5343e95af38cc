// Scope guards for the registry keys and libraries the sources open, so every
// path out of an operation closes what it opened.
#pragma once

#include <windows.h>

class KeyGuard {
 public:
  KeyGuard() = default;
  ~KeyGuard() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  KeyGuard(const KeyGuard&) = delete;
  KeyGuard& operator=(const KeyGuard&) = delete;

  HKEY* Out() { return &key_; }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

class LibraryGuard {
 public:
  explicit LibraryGuard(HMODULE library) : library_(library) {}
  ~LibraryGuard() {
    if (library_ != nullptr) FreeLibrary(library_);
  }
  LibraryGuard(const LibraryGuard&) = delete;
  LibraryGuard& operator=(const LibraryGuard&) = delete;

  bool Loaded() const { return library_ != nullptr; }

 private:
  HMODULE library_;
};
