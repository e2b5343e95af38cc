// Counting handles in the system's handle table.
#include "tests/support/handle_count.h"

#include <cstring>
#include <vector>

int32_t CountProcessHandles(DWORD processId) {
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
