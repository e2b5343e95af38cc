// Queries and their counters behind opaque handles that are checked on every use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "emulation/pdh/counter_sample.h"

// A handle is a number, never a pointer: its kind, a generation and a slot, so a
// stale handle (its slot reused or freed) or any foreign value is recognised.
using HandleValue = uintptr_t;

constexpr size_t kMaxQueries = 64;
constexpr size_t kMaxCounters = 512;

struct QuerySlot {
  bool used = false;
  uint16_t generation = 0;
  uintptr_t userData = 0;
};

struct CounterSlot {
  bool used = false;
  uint16_t generation = 0;
  size_t query = 0;  // slot index of the owning query
  size_t object = 0;
  size_t counter = 0;
  std::string instance;
  std::string path;
  uintptr_t userData = 0;
  RawSample previous;
  RawSample current;
  unsigned samples = 0;  // samples taken, stops at 2: one per collection, one more at the add for an elapsed time
};

// Forgets every query and counter (a fresh start; handles given out before are stale).
void ResetHandles();

// 0 when every query slot is in use.
HandleValue OpenQueryHandle(uintptr_t userData);
// Null for anything but a live query handle.
QuerySlot* FindQuery(HandleValue handle);
// Closes the query and every counter in it; false for a handle that is not live.
bool CloseQueryHandle(HandleValue handle);

// 0 when the query is not live or every counter slot is in use.
HandleValue AddCounterHandle(HandleValue query, size_t object, size_t counter, const std::string& instance,
                             const std::string& path, uintptr_t userData);
CounterSlot* FindCounterHandle(HandleValue handle);
bool RemoveCounterHandle(HandleValue handle);

// Slot access for walking a query's counters.
size_t QuerySlotOf(HandleValue liveQuery);
CounterSlot& CounterAt(size_t slot);
size_t CountersIn(size_t querySlot);
