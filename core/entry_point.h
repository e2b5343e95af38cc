// Resolving an entry point of a library loaded at run time into a slot that
// has the type of the entry point's declared prototype, so that a wrong
// signature fails to compile instead of crashing.
#pragma once

#include <windows.h>

// Stores the address and answers true when the library exports the name;
// leaves the slot as it is otherwise.
template <typename EntryPoint>
bool ResolveEntryPoint(HMODULE library, const char* name, EntryPoint* slot) {
  const FARPROC address = GetProcAddress(library, name);
  if (address == nullptr) return false;
  // Through void (*)(), the one function pointer type GCC's cast check
  // accepts from FARPROC.
  *slot = reinterpret_cast<EntryPoint>(reinterpret_cast<void (*)()>(address));
  return true;
}
