// What the entry points do with queries and counters, apart from reading the host.
#pragma once

#include <cstdint>
#include <string_view>

#include "emulation/pdh/counter_catalogue.h"
#include "emulation/pdh/counter_math.h"
#include "emulation/pdh/handle_table.h"
#include "emulation/pdh/host_snapshot.h"

// Outcomes; the entry points turn each into the platform's status code.
enum OpStatus {
  OP_OK = 0,
  OP_INVALID_HANDLE,
  OP_INVALID_ARGUMENT,
  OP_BAD_COUNTERNAME,
  OP_NO_MACHINE,
  OP_NO_OBJECT,
  OP_NO_COUNTER,
  OP_NO_INSTANCE,
  OP_NO_MEMORY,
  OP_NO_DATA,       // a query without counters cannot be collected
  OP_INVALID_DATA,  // no value yet: too few collections
  OP_NEGATIVE_DENOMINATOR,
  OP_NEGATIVE_VALUE,
};

// The catalogue entries a path names, found before any counter is made.
struct ResolvedPath {
  size_t object = kNoEntry;
  size_t counter = kNoEntry;
  std::string instance;
};

// Checks the path against the catalogue and the instances in the snapshot.
// localMachine is this computer's name; a path naming any other machine is refused.
OpStatus ResolvePath(std::string_view path, std::string_view localMachine, const HostSnapshot& snapshot,
                     ResolvedPath& out);

// The reading groups a path's object needs; 0 for a path that names no known object.
unsigned GroupsOfPath(std::string_view path);

OpStatus AddCounterToQuery(HandleValue query, std::string_view path, std::string_view localMachine,
                           const HostSnapshot& snapshot, uintptr_t userData, HandleValue& counter);

// The reading groups the query's counters need; 0 for a query that is not live.
unsigned GroupsOfQuery(HandleValue query);

// One sample of every counter of the query.
OpStatus CollectQuery(HandleValue query, const HostSnapshot& snapshot);

struct CounterReading {
  FormattedValue value;
  CalcStatus calc = CALC_NEEDS_SAMPLES;
  CounterKind kind = CounterKind::Instant;
};

OpStatus FormatCounter(HandleValue counter, uint32_t flags, CounterReading& out);
