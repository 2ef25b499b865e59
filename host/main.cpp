#include <windows.h>

#include "host/host_run.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return RunHost(); }
