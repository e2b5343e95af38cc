// Where a test program's prepared copies of pipstack.exe live: each test
// program defines PIPSTACK_E2E_STAGE_ROOT as the folder its build stages.
#pragma once

#include <string>

// Folder of a prepared copy of the program with its libraries, by name
// ("pdh": the virtual port and the fake pdh.dll beside it; "nowinio": no
// port-I/O library; "decoy": a WinIO.dll and an InpOut library that would
// work, as a working folder).
inline std::string StageFolder(const char* stage) { return std::string(PIPSTACK_E2E_STAGE_ROOT) + "/" + stage; }
