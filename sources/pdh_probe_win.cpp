// Which family of sources is in force: the PDH family whenever pdh.dll loads.
#include <windows.h>

#include "core/scoped_win.h"
#include "sources/source_dispatch.h"

// Nothing is cached. While the monitor runs it holds its own load of the
// library, so this only takes and drops a reference.
int32_t IsPdhAvailable() {
  const ScopedLibrary probe(LoadLibraryA("pdh.dll"));
  return probe.IsValid() ? 1 : 0;
}
