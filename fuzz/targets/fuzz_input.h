// Taking values one by one off a fuzz input; an exhausted input gives zeros.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct FuzzInput {
  const uint8_t* data;
  size_t size;
  size_t at;
};

uint8_t TakeByte(FuzzInput* in);
uint32_t TakeWord(FuzzInput* in);
// Up to maxLength bytes, its length taken first; any byte value, zeros included.
std::string TakeBytes(FuzzInput* in, size_t maxLength);
