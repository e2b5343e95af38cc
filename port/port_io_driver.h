// The port-I/O library (WinIO.dll), bound at run time: what the port access
// uses of it. Access operations return nonzero on success.
#pragma once

#include <cstdint>

// 0 when loaded, resolved and initialised; 1..10 the step that failed.
int32_t LoadPortIoDriver();
// Shuts the library down and releases it; harmless when nothing is bound.
void UnloadPortIoDriver();

int32_t ReadPortValue(uint16_t port, uint32_t* value, uint8_t size);
int32_t WritePortValue(uint16_t port, uint32_t value, uint8_t size);
int32_t ReadPhysicalLong(uint32_t address, uint32_t* value);
