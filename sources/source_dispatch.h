// Which family of sources is in force, and sampling through it. SampleAll,
// SampleOne and DarkLeds, declared in core/meter_io.h, are defined here.
#pragma once

#include <cstdint>

#include "core/meter_io.h"

enum SampleStatus : int32_t {
  kSampleOk = 0,
  kSamplePdhFailed = 1,     // the counter read failed
  kSampleLegacyFailed = 2,  // the legacy statistics read failed
};

// 1 when pdh.dll can be loaded, 0 when not. Probes afresh on every call.
int32_t IsPdhAvailable();
