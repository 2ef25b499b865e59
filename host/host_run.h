#pragma once
// The whole life of the process: start-up, the command line, one script run (or the
// server registration), the end. Returns the process's exit code.
int RunHost();
