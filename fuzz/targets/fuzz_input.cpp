// Taking values off a fuzz input.
#include "fuzz/targets/fuzz_input.h"

uint8_t TakeByte(FuzzInput* in) { return in->at < in->size ? in->data[in->at++] : 0; }

uint32_t TakeWord(FuzzInput* in) {
  uint32_t word = 0;
  for (int i = 0; i < 4; ++i) word |= static_cast<uint32_t>(TakeByte(in)) << (8 * i);
  return word;
}

std::string TakeBytes(FuzzInput* in, size_t maxLength) {
  size_t length = TakeByte(in);
  if (length > maxLength) length = maxLength;
  if (length > in->size - in->at) length = in->size - in->at;
  std::string bytes(reinterpret_cast<const char*>(in->data + in->at), length);
  in->at += length;
  return bytes;
}
