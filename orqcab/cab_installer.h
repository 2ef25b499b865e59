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

// Posted to the server's thread when the watched client's process has ended; the thread
// then calls LetGoOfEndedClient, which drops that client's objects (and so, once no
// installation runs, ends the server).
constexpr UINT kClientEndedMessage = WM_APP + 1;
void LetGoOfEndedClient();

// The class factory of OrqCabInstaller (one static object).
IClassFactory* InstallerClassFactory();

// Where the last-update record lives.
constexpr const char* kLastUpdateKey = "SOFTWARE\\Orqex\\OrqCab";
