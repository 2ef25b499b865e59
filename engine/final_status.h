#pragma once
// The status and message the calling agent receives when the run ends. The last writer
// wins (a reported error, SETFINALSTATUS, INSTALLCAB).
#include <cstdint>
#include <string>

// The status an agent receives for a failed run (the COM failure code E_FAIL).
constexpr std::int32_t kComFailure = static_cast<std::int32_t>(0x80004005);

struct FinalStatus {
  std::int32_t status = 0;
  std::string message;  // ANSI; turned into a COM string when sent
};

FinalStatus& TheFinalStatus();
