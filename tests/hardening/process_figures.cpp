// Sampling another process's resources. Wine answers GetProcessHandleCount
// with 0, so handles are counted in the system's handle table instead.
#include "tests/hardening/process_figures.h"

#include <psapi.h>

#include <cstring>
#include <vector>

namespace {

int32_t CountHandles(DWORD processId) {
  // SystemHandleInformation: a count, then one entry per handle in the system.
  struct Entry {
    USHORT processId;
    USHORT creatorBackTraceIndex;
    UCHAR objectType;
    UCHAR flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
  };
  using QueryFn = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  constexpr ULONG kSystemHandleInformation = 16;
  const auto query = reinterpret_cast<QueryFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (query == nullptr) return -1;
  std::vector<BYTE> buffer(1u << 20);
  for (int attempt = 0; attempt < 4; ++attempt) {
    ULONG length = 0;
    if (query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &length) == 0) {
      ULONG entries = 0;
      std::memcpy(&entries, buffer.data(), sizeof entries);
      const USHORT wanted = static_cast<USHORT>(processId);
      int32_t count = 0;
      for (ULONG i = 0; i < entries; ++i) {
        Entry entry{};
        // The entries follow the count at their own alignment.
        std::memcpy(&entry, buffer.data() + alignof(Entry) + i * sizeof(Entry), sizeof entry);
        count += entry.processId == wanted;
      }
      return count;
    }
    buffer.resize(buffer.size() * 4);
  }
  return -1;
}

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
  figures.handles = CountHandles(processId);
  figures.gdiObjects = static_cast<int32_t>(GetGuiResources(process, GR_GDIOBJECTS));
  figures.userObjects = static_cast<int32_t>(GetGuiResources(process, GR_USEROBJECTS));
  WindowCount counting{processId, 0};
  EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&counting));
  figures.windows = counting.count;
  return figures;
}
