// Reading figures out of the texts Linux publishes in /proc and /sys.
#pragma once

#include <cstdint>
#include <string_view>

// "0.93 0.53 0.30 3/152 13702": the number after the slash counts every thread
// of the machine. False when the text does not have that shape.
bool ParseLoadavgThreads(std::string_view text, int64_t& threads);

// /sys/block/NAME/stat: sectors read (3rd field) and written (7th) are 512-byte
// units whatever the disk's own sector size; the 10th field is the time in ms
// with I/O in flight.
bool ParseBlockStat(std::string_view text, int64_t& bytes, int64_t& busyMs);

// thermal_zoneN/temp holds millidegrees Celsius.
bool ParseMilliCelsius(std::string_view text, int64_t& milliKelvin);

// A /proc entry that is a process: a name of digits only.
bool IsProcessEntry(std::string_view name);

// A "Name:   123 kB" line of /proc/meminfo, in bytes. False when the field is absent.
bool ParseMeminfoBytes(std::string_view text, std::string_view field, int64_t& bytes);
