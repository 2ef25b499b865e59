#pragma once
// Process-wide values the host sets from its command line before a run and commands read.
#include <string>

struct HostValues {
  bool quietMode = false;     // "Quiet": no usage box, interactive commands stay silent
  bool whatIfMode = false;    // "WhatIf": what would change the machine is only logged
  std::string rawParams;      // the "Params=" value as given (at most 8191 bytes)
  std::string paramsText;     // its decoded bytes, read by GETPARAM
};

HostValues& TheHostValues();
