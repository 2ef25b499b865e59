#pragma once
// OrqCab's COM class and its class factory.
#include <windows.h>

#include "orqcab_interfaces.h"

// The server's count of live objects and locks; at zero the server may end.
void ServerLock();
void ServerUnlock();
// The server's own lock from its start until the first object is made (or the
// time for a first client has passed); releasing it twice does nothing.
void HoldStartupLock();
void ReleaseStartupLock();

// The class factory of OrqCabInstaller (one static object).
IClassFactory* InstallerClassFactory();

// Where the last-update record lives.
constexpr const char* kLastUpdateKey = "SOFTWARE\\Orqex\\OrqCab";
