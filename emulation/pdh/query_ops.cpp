// What the entry points do with queries and counters, apart from reading the host.
#include "emulation/pdh/query_ops.h"

#include <string>
#include <vector>

#include "emulation/pdh/counter_path.h"

namespace {

bool IsLocal(std::string_view machine, std::string_view localMachine) {
  return machine.empty() || machine == "." || SameName(machine, "localhost") || SameName(machine, localMachine);
}

OpStatus ResolveInstance(const ObjectDef& object, const CounterPath& parsed, const HostSnapshot& snapshot,
                         std::string& instance) {
  if (object.family == InstanceFamily::None) {
    return parsed.hasInstance ? OP_NO_INSTANCE : OP_OK;
  }
  // No object here has parent instances or repeated instance names.
  if (!parsed.hasInstance || !parsed.parent.empty() || parsed.index != 0) return OP_NO_INSTANCE;
  for (const std::string& name : InstanceNames(object, snapshot)) {
    if (SameName(name, parsed.instance)) {
      instance = name;
      return OP_OK;
    }
  }
  return OP_NO_INSTANCE;
}

OpStatus FromCalc(CalcStatus calc) {
  switch (calc) {
    case CALC_OK:
      return OP_OK;
    case CALC_NEGATIVE_DENOMINATOR:
      return OP_NEGATIVE_DENOMINATOR;
    case CALC_NEGATIVE_VALUE:
      return OP_NEGATIVE_VALUE;
    case CALC_NO_INSTANCE:
      return OP_NO_INSTANCE;
    case CALC_NEEDS_SAMPLES:
      return OP_INVALID_DATA;
  }
  return OP_INVALID_DATA;
}

}  // namespace

OpStatus ResolvePath(std::string_view path, std::string_view localMachine, const HostSnapshot& snapshot,
                     ResolvedPath& out) {
  CounterPath parsed;
  if (ParseCounterPath(path, parsed) != PATH_OK) return OP_BAD_COUNTERNAME;
  if (!IsLocal(parsed.machine, localMachine)) return OP_NO_MACHINE;
  out.object = FindObject(parsed.object);
  if (out.object == kNoEntry) return OP_NO_OBJECT;
  const ObjectDef& object = ObjectAt(out.object);
  out.counter = FindCounter(object, parsed.counter);
  if (out.counter == kNoEntry) return OP_NO_COUNTER;
  return ResolveInstance(object, parsed, snapshot, out.instance);
}

unsigned GroupsOfPath(std::string_view path) {
  CounterPath parsed;
  if (ParseCounterPath(path, parsed) != PATH_OK) return 0;
  const size_t object = FindObject(parsed.object);
  if (object == kNoEntry) return 0;
  unsigned groups = 0;
  const ObjectDef& def = ObjectAt(object);
  for (size_t i = 0; i < def.counterCount; ++i) groups |= def.counters[i].group;
  return groups;
}

OpStatus AddCounterToQuery(HandleValue query, std::string_view path, std::string_view localMachine,
                           const HostSnapshot& snapshot, uintptr_t userData, HandleValue& counter) {
  if (FindQuery(query) == nullptr) return OP_INVALID_HANDLE;
  ResolvedPath resolved;
  const OpStatus status = ResolvePath(path, localMachine, snapshot, resolved);
  if (status != OP_OK) return status;
  const ObjectDef& object = ObjectAt(resolved.object);
  const CounterDef& def = object.counters[resolved.counter];
  const std::string canonical = FormatCounterPath("", object.name, resolved.instance, def.name);
  counter = AddCounterHandle(query, resolved.object, resolved.counter, resolved.instance, canonical, userData);
  if (counter == 0) return OP_NO_MEMORY;
  // An elapsed time is measured against the clock, not against an earlier
  // sample, so it has a value from the moment it is added.
  if (def.kind == CounterKind::Elapsed) {
    CounterSlot& slot = *FindCounterHandle(counter);
    slot.current = TakeSample(def, resolved.instance, snapshot);
    slot.samples = 1;
  }
  return OP_OK;
}

unsigned GroupsOfQuery(HandleValue query) {
  const size_t slot = QuerySlotOf(query);
  if (slot == kMaxQueries) return 0;
  unsigned groups = 0;
  for (size_t i = 0; i < kMaxCounters; ++i) {
    const CounterSlot& counter = CounterAt(i);
    if (counter.used && counter.query == slot) {
      groups |= ObjectAt(counter.object).counters[counter.counter].group;
    }
  }
  return groups;
}

OpStatus CollectQuery(HandleValue query, const HostSnapshot& snapshot) {
  const size_t slot = QuerySlotOf(query);
  if (slot == kMaxQueries) return OP_INVALID_HANDLE;
  if (CountersIn(slot) == 0) return OP_NO_DATA;
  for (size_t i = 0; i < kMaxCounters; ++i) {
    CounterSlot& counter = CounterAt(i);
    if (!counter.used || counter.query != slot) continue;
    const CounterDef& def = ObjectAt(counter.object).counters[counter.counter];
    counter.previous = counter.current;
    counter.current = TakeSample(def, counter.instance, snapshot);
    if (counter.samples < 2) ++counter.samples;
  }
  return OP_OK;
}

OpStatus FormatCounter(HandleValue handle, uint32_t flags, CounterReading& out) {
  out = CounterReading{};
  const CounterSlot* counter = FindCounterHandle(handle);
  if (counter == nullptr) return OP_INVALID_HANDLE;
  const CounterDef& def = ObjectAt(counter->object).counters[counter->counter];
  out.kind = def.kind;
  FormattedValue probe;
  if (FormatCounterValue(0.0, false, flags, probe) != FORMAT_OK) return OP_INVALID_ARGUMENT;
  if (counter->samples == 0) return OP_INVALID_DATA;
  double value = 0;
  out.calc = ComputeCounterValue(def, counter->samples >= 2 ? &counter->previous : nullptr, counter->current, value);
  if (out.calc != CALC_OK) return FromCalc(out.calc);
  FormatCounterValue(value, IsPercentKind(def.kind), flags, out.value);
  return OP_OK;
}
