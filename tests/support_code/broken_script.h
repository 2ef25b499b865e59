#pragma once
// A mistake of every kind the check finds: "/Check" and orqcheck must report the same.
#include <string>
#include <vector>

struct ExpectedFinding {
  unsigned line;
  std::string message;
  std::string text;  // the line as the script holds it
};

// The acting lines would change the machine and show a box if anything ran.
inline const char* const kBrokenScript =
    "; one mistake of every kind\r\n"
    "[DefaultInstall]\r\n"
    "SET Greeting=Hello %%Name%%\r\n"
    "CREATEREGKEY HKCU\\Software,OrqCheckScratch\r\n"
    "SHOWMSG %%Greeting%%\r\n"
    "CALL Missing\r\n"
    "COPYFILES NoFiles\r\n"
    "STOPSERVICES OrqWhatIfSvc\r\n"
    "COPYFILEAS a.txt,b.txt\r\n"
    "CREATEREGKEY HKCU\\Software\r\n"
    "FILECIO stray.txt\r\n"
    "CALL Said=Helper\r\n"
    "GOTOIF 1=1,AlsoMissing\r\n"
    "SETREGVALUE HKCU\\Software\\OrqCheckScratch,%%Said%%%%Greeting%%=/REG_DWORD:%%Count%%\r\n"
    "[Helper]\r\n"
    "SET Name=World\r\n"
    "RETURN %%Name%%\r\n"
    "[Orphan]\r\n"
    "SET Unused=1\r\n";

constexpr unsigned kBrokenScriptExitCode = 4;  // the error on the lowest line: CALL Missing

inline const std::vector<ExpectedFinding>& BrokenScriptFindings() {
  static const std::vector<ExpectedFinding> findings = {
      {3, "warning: symbol %%Name%% is read before anything sets it",
       "SET Greeting=Hello %%Name%%"},
      {6, "error 4: CALL names no section [Missing]", "CALL Missing"},
      {7, "error 4: COPYFILES names no section [NoFiles]", "COPYFILES NoFiles"},
      {8, "error 2: unknown command word \"STOPSERVICES\"", "STOPSERVICES OrqWhatIfSvc"},
      {9, "error 2: COPYFILEAS is a known word that is not carried out", "COPYFILEAS a.txt,b.txt"},
      {10,
       "error 51: argument refused: Invalid switch or value supplied in command line parameters.",
       "CREATEREGKEY HKCU\\Software"},
      {11, "warning: FILECIO outside any section that COPYFILES or DELFILES walks does nothing",
       "FILECIO stray.txt"},
      {13, "error 4: GOTOIF names no section [AlsoMissing]", "GOTOIF 1=1,AlsoMissing"},
      {14, "warning: symbol %%Count%% is read before anything sets it",
       "SETREGVALUE HKCU\\Software\\OrqCheckScratch,%%Said%%%%Greeting%%=/REG_DWORD:%%Count%%"},
      {18, "warning: section [Orphan] is never reached", "[Orphan]"},
  };
  return findings;
}

// The same script started at a section it does not have.
constexpr unsigned kMissingStartExitCode = 7;
inline const ExpectedFinding kMissingStartFinding = {
    0, "error 7: start section [Missing] not found", "[Missing]"};
