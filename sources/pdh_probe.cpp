// Which family of sources is in force: the PDH family whenever pdh.dll loads.
#include <windows.h>

#include "sources/source_dispatch.h"
#include "sources/win32_handles.h"

// Nothing is cached. While the monitor runs it holds its own load of the
// library, so this only takes and drops a reference.
int32_t IsPdhAvailable() {
  const LibraryGuard probe(LoadLibraryA("pdh.dll"));
  return probe.Loaded() ? 1 : 0;
}
