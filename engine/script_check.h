#pragma once
// The script check: loads and parses a script as a run does, then walks every section
// without running a line and reports every mistake a run could meet. OS-free, so the
// same check runs inside the program ("/Check") and as a native tool.
#include <string>
#include <string_view>
#include <vector>

// The argument check of a command: 0, or the ErrorCode its handler fails the argument with.
// The engine is given the checks (they live with the command families).
using ArgumentCheckFn = unsigned (*)(std::string_view argument);
using ArgumentCheckLookup = ArgumentCheckFn (*)(unsigned commandId);
// What `checks` says of command `commandId`'s argument: 0 also when it has no check.
unsigned CheckArgumentWith(ArgumentCheckLookup checks, unsigned commandId,
                           std::string_view argument);

struct CheckFinding {
  unsigned lineNumber = 0;  // 0: the script as a whole (a missing start section)
  unsigned code = 0;        // the ErrorCode a run would fail with; 0 for a warning
  std::string message;      // "error <code>: ..." or "warning: ..."
  std::string lineText;     // the line as the script holds it
};

struct CheckReport {
  std::vector<CheckFinding> findings;  // in line order
  // The code of the error on the lowest line; 0 when there are warnings only, or nothing.
  unsigned exitCode = 0;
};

CheckReport CheckScriptFile(const std::string& path, std::string_view startSection,
                            ArgumentCheckLookup checks);
CheckReport CheckScriptText(std::string_view text, std::string_view startSection,
                            ArgumentCheckLookup checks);
