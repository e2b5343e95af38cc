// The family of sources a store test runs in: each test executable links one
// definition of these, the legacy family's or the PDH family's.
#pragma once

#include <cstdint>
#include <string>

// Brings the family's sources up (and checks the probe names this family).
bool StartSourceFamily();
void StopSourceFamily();
// Back to the sources as they are right after start-up.
void ResetSourceFamily();
// The text a first load stores for every LED's source.
std::string DefaultSourceText();
// Gives LED index a source other than the default; the text a save stores for it.
std::string ChangeSource(int32_t index);
// The text a save would store for LED index's source now.
std::string CurrentSourceText(int32_t index);
