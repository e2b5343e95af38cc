// Queries and their counters behind opaque handles that are checked on every use.
#include "emulation/pdh/handle_table.h"

#include <array>

namespace {

// Layout: kind in bits 28..31, generation in bits 12..27, slot + 1 in bits 0..11.
constexpr HandleValue kQueryKind = 0xA;
constexpr HandleValue kCounterKind = 0xC;
constexpr unsigned kKindShift = 28;
constexpr unsigned kGenerationShift = 12;
constexpr HandleValue kSlotMask = 0xFFF;
static_assert(kMaxCounters < kSlotMask && kMaxQueries < kSlotMask, "slot numbers fit their bits");

std::array<QuerySlot, kMaxQueries> queries;
std::array<CounterSlot, kMaxCounters> counters;

HandleValue MakeHandle(HandleValue kind, uint16_t generation, size_t slot) {
  return (kind << kKindShift) | (static_cast<HandleValue>(generation) << kGenerationShift) | (slot + 1);
}

// The slot a handle names, or kMax when it is not of this kind or out of range;
// the caller still compares the generation.
size_t DecodeSlot(HandleValue handle, HandleValue kind, size_t max, uint16_t& generation) {
  if ((handle >> kKindShift) != kind) return max;  // also rejects any bits above 31
  const size_t slot = static_cast<size_t>(handle & kSlotMask);
  if (slot == 0 || slot > max) return max;
  generation = static_cast<uint16_t>(handle >> kGenerationShift);
  return slot - 1;
}

size_t FindCounterSlot(HandleValue handle) {
  uint16_t generation = 0;
  const size_t slot = DecodeSlot(handle, kCounterKind, kMaxCounters, generation);
  if (slot == kMaxCounters || !counters[slot].used || counters[slot].generation != generation) {
    return kMaxCounters;
  }
  return slot;
}

void FreeCounter(CounterSlot& counter) {
  const uint16_t next = static_cast<uint16_t>(counter.generation + 1);
  counter = CounterSlot{};
  counter.generation = next;
}

}  // namespace

void ResetHandles() {
  // Generations go on counting, so handles from before the reset stay stale.
  for (QuerySlot& query : queries) {
    query.used = false;
    ++query.generation;
  }
  for (CounterSlot& counter : counters) FreeCounter(counter);
}

HandleValue OpenQueryHandle(uintptr_t userData) {
  for (size_t i = 0; i < queries.size(); ++i) {
    if (queries[i].used) continue;
    queries[i].used = true;
    queries[i].userData = userData;
    return MakeHandle(kQueryKind, queries[i].generation, i);
  }
  return 0;
}

size_t QuerySlotOf(HandleValue handle) {
  uint16_t generation = 0;
  const size_t slot = DecodeSlot(handle, kQueryKind, kMaxQueries, generation);
  if (slot == kMaxQueries || !queries[slot].used || queries[slot].generation != generation) {
    return kMaxQueries;
  }
  return slot;
}

QuerySlot* FindQuery(HandleValue handle) {
  const size_t slot = QuerySlotOf(handle);
  return slot == kMaxQueries ? nullptr : &queries[slot];
}

bool CloseQueryHandle(HandleValue handle) {
  const size_t slot = QuerySlotOf(handle);
  if (slot == kMaxQueries) return false;
  for (CounterSlot& counter : counters) {
    if (counter.used && counter.query == slot) FreeCounter(counter);
  }
  queries[slot].used = false;
  ++queries[slot].generation;
  return true;
}

HandleValue AddCounterHandle(HandleValue query, size_t object, size_t counter, const std::string& instance,
                             const std::string& path, uintptr_t userData) {
  const size_t querySlot = QuerySlotOf(query);
  if (querySlot == kMaxQueries) return 0;
  for (size_t i = 0; i < counters.size(); ++i) {
    CounterSlot& slot = counters[i];
    if (slot.used) continue;
    slot.used = true;
    slot.query = querySlot;
    slot.object = object;
    slot.counter = counter;
    slot.instance = instance;
    slot.path = path;
    slot.userData = userData;
    return MakeHandle(kCounterKind, slot.generation, i);
  }
  return 0;
}

CounterSlot* FindCounterHandle(HandleValue handle) {
  const size_t slot = FindCounterSlot(handle);
  return slot == kMaxCounters ? nullptr : &counters[slot];
}

bool RemoveCounterHandle(HandleValue handle) {
  const size_t slot = FindCounterSlot(handle);
  if (slot == kMaxCounters) return false;
  FreeCounter(counters[slot]);
  return true;
}

CounterSlot& CounterAt(size_t slot) { return counters[slot]; }

size_t CountersIn(size_t querySlot) {
  size_t count = 0;
  for (const CounterSlot& counter : counters) {
    if (counter.used && counter.query == querySlot) ++count;
  }
  return count;
}
