// Sampling another process's resources. Wine answers GetProcessHandleCount
// with 0, so handles are counted in the system's handle table instead.
#include "tests/hardening/process_figures.h"

#include <psapi.h>

#include "tests/support/handle_count.h"

namespace {

struct WindowCount {
  DWORD processId;
  int32_t count;
};

BOOL CALLBACK CountChild(HWND, LPARAM param) {
  ++reinterpret_cast<WindowCount*>(param)->count;
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM param) {
  auto* counting = reinterpret_cast<WindowCount*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != counting->processId) return TRUE;
  ++counting->count;
  EnumChildWindows(window, CountChild, param);
  return TRUE;
}

}  // namespace

ProcessFigures SampleProcess(HANDLE process, DWORD processId) {
  ProcessFigures figures{};
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process, &memory, sizeof memory)) {
    figures.workingSet = memory.WorkingSetSize;
    figures.privateBytes = memory.PagefileUsage;
  }
  figures.handles = CountProcessHandles(processId);
  figures.gdiObjects = static_cast<int32_t>(GetGuiResources(process, GR_GDIOBJECTS));
  figures.userObjects = static_cast<int32_t>(GetGuiResources(process, GR_USEROBJECTS));
  WindowCount counting{processId, 0};
  EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&counting));
  figures.windows = counting.count;
  return figures;
}
