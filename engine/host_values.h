#pragma once
// Process-wide values the host sets from its command line before a run and commands read.
#include <string>

struct HostValues {
  bool quietMode = false;     // "Quiet": no usage box, interactive commands stay silent
  std::string rawParams;      // the "Params=" value as given (at most 8191 bytes)
  std::string paramsText;     // its decoded bytes, read by GETPARAM
};

HostValues& TheHostValues();
