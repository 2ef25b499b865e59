#pragma once
// The status and message the calling agent receives when the run ends. The last writer
// wins (a reported error, SETFINALSTATUS, INSTALLCAB).
#include <cstdint>
#include <string>

struct FinalStatus {
  std::int32_t status = 0;
  std::string message;  // ANSI; turned into a COM string when sent
};

FinalStatus& TheFinalStatus();
