// The library's query and counter entry points, with the platform's names, signatures and status codes.
#include <windows.h>
#include <pdh.h>
#include <pdhmsg.h>
#include <winperf.h>

#include <array>
#include <string>

#include "core/scoped_win.h"
#include "emulation/pdh/host_readings.h"
#include "emulation/pdh/query_ops.h"

static_assert(kFmtLong == PDH_FMT_LONG && kFmtDouble == PDH_FMT_DOUBLE && kFmtLarge == PDH_FMT_LARGE &&
                  kFmtNoCap100 == PDH_FMT_NOCAP100 && kFmt1000 == PDH_FMT_1000,
              "the format bits are the platform's");

namespace {

// The library may be called from any thread of its process, as on Windows.
SRWLOCK libraryLock = SRWLOCK_INIT;

// Indexed by OpStatus.
constexpr std::array<PDH_STATUS, 13> kStatusCodes = {
    ERROR_SUCCESS,
    static_cast<PDH_STATUS>(PDH_INVALID_HANDLE),
    static_cast<PDH_STATUS>(PDH_INVALID_ARGUMENT),
    static_cast<PDH_STATUS>(PDH_CSTATUS_BAD_COUNTERNAME),
    static_cast<PDH_STATUS>(PDH_CSTATUS_NO_MACHINE),
    static_cast<PDH_STATUS>(PDH_CSTATUS_NO_OBJECT),
    static_cast<PDH_STATUS>(PDH_CSTATUS_NO_COUNTER),
    static_cast<PDH_STATUS>(PDH_CSTATUS_NO_INSTANCE),
    static_cast<PDH_STATUS>(PDH_MEMORY_ALLOCATION_FAILURE),
    static_cast<PDH_STATUS>(PDH_NO_DATA),
    static_cast<PDH_STATUS>(PDH_INVALID_DATA),
    static_cast<PDH_STATUS>(PDH_CALC_NEGATIVE_DENOMINATOR),
    static_cast<PDH_STATUS>(PDH_CALC_NEGATIVE_VALUE),
};
static_assert(kStatusCodes.size() == OP_NEGATIVE_VALUE + 1, "a code for every outcome");

PDH_STATUS Code(OpStatus status) { return kStatusCodes[status]; }

HandleValue ToValue(HANDLE handle) { return reinterpret_cast<HandleValue>(handle); }
HANDLE ToHandle(HandleValue value) { return reinterpret_cast<HANDLE>(value); }

std::string LocalMachineName() {
  std::array<char, MAX_COMPUTERNAME_LENGTH + 1> name{};
  DWORD length = static_cast<DWORD>(name.size());
  if (!GetComputerNameA(name.data(), &length)) return std::string();
  return std::string(name.data(), length);
}

DWORD PerfType(CounterKind kind) {
  switch (kind) {
    case CounterKind::TimePercent:
      return PERF_100NSEC_TIMER;
    case CounterKind::RatePerSecond:
      return PERF_COUNTER_BULK_COUNT;
    case CounterKind::InstantPercent:
      return PERF_RAW_FRACTION;
    case CounterKind::Elapsed:
      return PERF_ELAPSED_TIME;
    case CounterKind::Instant:
      break;
  }
  return PERF_COUNTER_LARGE_RAWCOUNT;
}

// The counter status a failed reading reports in CStatus.
DWORD CounterStatus(OpStatus status) {
  return status == OP_NO_INSTANCE ? PDH_CSTATUS_NO_INSTANCE : PDH_CSTATUS_INVALID_DATA;
}

}  // namespace

PDH_FUNCTION PdhOpenQueryA(LPCSTR szDataSource, DWORD_PTR dwUserData, PDH_HQUERY* phQuery) {
  if (phQuery == nullptr) return PDH_INVALID_ARGUMENT;
  // Only live data: this library reads no log files.
  if (szDataSource != nullptr) return PDH_INVALID_DATASOURCE;
  ScopedExclusiveLock lock(libraryLock);
  const HandleValue query = OpenQueryHandle(dwUserData);
  if (query == 0) return PDH_MEMORY_ALLOCATION_FAILURE;
  *phQuery = ToHandle(query);
  return ERROR_SUCCESS;
}

PDH_FUNCTION PdhCloseQuery(PDH_HQUERY hQuery) {
  ScopedExclusiveLock lock(libraryLock);
  return CloseQueryHandle(ToValue(hQuery)) ? ERROR_SUCCESS : static_cast<PDH_STATUS>(PDH_INVALID_HANDLE);
}

PDH_FUNCTION PdhAddCounterA(PDH_HQUERY hQuery, LPCSTR szFullCounterPath, DWORD_PTR dwUserData,
                            PDH_HCOUNTER* phCounter) {
  // As the platform's library does: on any failure the caller holds no handle,
  // never the one it passed in.
  if (phCounter != nullptr) *phCounter = nullptr;
  if (szFullCounterPath == nullptr || phCounter == nullptr) return PDH_INVALID_ARGUMENT;
  // Instances are checked against the host as it is now.
  HostSnapshot snapshot;
  ReadHostSnapshot(GroupsOfPath(szFullCounterPath), snapshot);
  const std::string machine = LocalMachineName();
  ScopedExclusiveLock lock(libraryLock);
  HandleValue counter = 0;
  const OpStatus status = AddCounterToQuery(ToValue(hQuery), szFullCounterPath, machine, snapshot, dwUserData, counter);
  if (status != OP_OK) return Code(status);
  *phCounter = ToHandle(counter);
  return ERROR_SUCCESS;
}

PDH_FUNCTION PdhRemoveCounter(PDH_HCOUNTER hCounter) {
  ScopedExclusiveLock lock(libraryLock);
  return RemoveCounterHandle(ToValue(hCounter)) ? ERROR_SUCCESS : static_cast<PDH_STATUS>(PDH_INVALID_HANDLE);
}

PDH_FUNCTION PdhCollectQueryData(PDH_HQUERY hQuery) {
  ScopedExclusiveLock lock(libraryLock);
  const HandleValue query = ToValue(hQuery);
  if (FindQuery(query) == nullptr) return PDH_INVALID_HANDLE;
  HostSnapshot snapshot;
  ReadHostSnapshot(GroupsOfQuery(query), snapshot);
  return Code(CollectQuery(query, snapshot));
}

PDH_FUNCTION PdhGetFormattedCounterValue(PDH_HCOUNTER hCounter, DWORD dwFormat, LPDWORD lpdwType,
                                         PPDH_FMT_COUNTERVALUE pValue) {
  if (pValue == nullptr) return PDH_INVALID_ARGUMENT;
  ScopedExclusiveLock lock(libraryLock);
  CounterReading reading;
  const OpStatus status = FormatCounter(ToValue(hCounter), dwFormat, reading);
  if (status == OP_INVALID_HANDLE || status == OP_INVALID_ARGUMENT) return Code(status);
  if (lpdwType != nullptr) *lpdwType = PerfType(reading.kind);
  *pValue = PDH_FMT_COUNTERVALUE{};
  if (status != OP_OK) {
    pValue->CStatus = CounterStatus(status);
    // A missing instance is a reading without valid data, as a sample too few is.
    return Code(status == OP_NO_INSTANCE ? OP_INVALID_DATA : status);
  }
  pValue->CStatus = PDH_CSTATUS_VALID_DATA;
  if (dwFormat & PDH_FMT_LONG) pValue->longValue = reading.value.longValue;
  if (dwFormat & PDH_FMT_DOUBLE) pValue->doubleValue = reading.value.doubleValue;
  if (dwFormat & PDH_FMT_LARGE) pValue->largeValue = reading.value.largeValue;
  return ERROR_SUCCESS;
}
